#include "app/desktop_associations.h"
#include "support/tag_fixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace vx {
namespace {

// Our five kinds, all made ours, in a list that also holds comments, spacing, other groups and other
// programs' entries; "Removed Associations" names us and ends the file without a newline.
const QByteArray kTheirs =
    "# chosen by hand\n[Default Applications]\ntext/html=firefox.desktop;\ntext/plain = gedit.desktop\n"
    "audio/mpeg=other.desktop;\n\n[Added Associations]\nimage/png=gimp.desktop;\n# keep this comment\n\n"
    "[Removed Associations]\naudio/x-ms-wma=velumix.desktop;";
const QByteArray kOursToo =
    "# chosen by hand\n[Default Applications]\ntext/html=firefox.desktop;\ntext/plain = gedit.desktop\n"
    "audio/mpeg=velumix.desktop;other.desktop;\naudio/x-ms-wma=velumix.desktop;\n"
    "video/x-ms-asf=velumix.desktop;\naudio/x-wav=velumix.desktop;\naudio/wav=velumix.desktop;\n"
    "audio/x-mpegurl=velumix.desktop;\n\n[Added Associations]\nimage/png=gimp.desktop;\n# keep this comment\n"
    "audio/mpeg=velumix.desktop;\naudio/x-ms-wma=velumix.desktop;\nvideo/x-ms-asf=velumix.desktop;\n"
    "audio/x-wav=velumix.desktop;\naudio/wav=velumix.desktop;\naudio/x-mpegurl=velumix.desktop;\n\n"
    "[Removed Associations]\naudio/x-ms-wma=velumix.desktop;";

using Flags = std::array<bool, kAssociationKinds>;
using Ticks = std::array<int, kAssociationKinds>;

class Associations : public ::testing::Test {
  protected:
    void writeList(const QByteArray& text) { test::writeBytes(paths.mimeappsList, text); }
    QByteArray list() const { return test::readBytes(paths.mimeappsList); }

    QTemporaryDir dir;
    DesktopPaths paths = DesktopPaths::under(dir.filePath("config"), dir.filePath("data"));
    DesktopAssociations associations{paths};
};

TEST_F(Associations, AKindIsOursOnlyWhenEachOfItsTypesDefaultsToUs) {
    struct Row {
        QByteArray list;
        Flags ours;
    };
    const Row rows[] = {
        {"", {}},
        {kTheirs, {}},  // another program's default, and a removal naming us, show clear
        {kOursToo, {true, true, true, true, true}},
        {"[Default Applications]\naudio/mpeg=velumix.desktop\naudio/x-ms-wma=other.desktop;velumix.desktop;\n"
         "audio/x-wav=velumix.desktop;\naudio/wav=other.desktop;\n[Added Associations]\n"
         "video/x-ms-asf=velumix.desktop;\n[Other]\naudio/x-mpegurl=velumix.desktop;\n",
         {true, false, false, false, false}},
    };
    for (const Row& row : rows) {
        writeList(row.list);
        EXPECT_EQ(associations.read(), row.ours) << row.list.toStdString();
        EXPECT_EQ(associations.associatedCount(), int(std::count(row.ours.begin(), row.ours.end(), true)));
    }
    QFile::remove(paths.mimeappsList);
    EXPECT_EQ(associations.read(), Flags{});

    EXPECT_TRUE(offerAssociationsAtStart(1, 1));
    EXPECT_FALSE(offerAssociationsAtStart(1, 2));
    EXPECT_FALSE(offerAssociationsAtStart(0, 0));
}

TEST_F(Associations, UpdateChangesOnlyOurOwnEntries) {
    struct Row {
        const char* what;
        QByteArray before;
        Ticks ticks;
        QByteArray after;
    };
    const Row rows[] = {
        {"all ours, every other byte kept", kTheirs, {1, 1, 1, 1, 1}, kOursToo},
        {"none ours gives the same bytes back", kOursToo, {0, 0, 0, 0, 0}, kTheirs},
        {"MP3 ticked and WMA clear keeps MP3",
         "[Default Applications]\naudio/mpeg=velumix.desktop;\naudio/x-ms-wma=velumix.desktop;\n",
         {1, 0, 2, 2, 2},
         "[Default Applications]\naudio/mpeg=velumix.desktop;\n\n[Added Associations]\n"
         "audio/mpeg=velumix.desktop;\n"},
        {"another program's default survives",
         "[Default Applications]\naudio/x-ms-wma=other.desktop;\r\n"
         "audio/mpeg=other.desktop;velumix.desktop;\r\n",
         {0, 0, 2, 2, 2},
         "[Default Applications]\naudio/x-ms-wma=other.desktop;\r\naudio/mpeg=other.desktop;\r\n"},
        {"a new list",
         "",
         {0, 0, 0, 0, 1},
         "[Default Applications]\naudio/x-mpegurl=velumix.desktop;\n\n[Added Associations]\n"
         "audio/x-mpegurl=velumix.desktop;\n"},
    };
    for (const Row& row : rows) {
        writeList(row.before);
        ASSERT_EQ(associations.update(row.ticks), std::nullopt) << row.what;
        EXPECT_EQ(list(), row.after) << row.what;
    }
    EXPECT_EQ(associations.read(), (Flags{false, false, false, false, true}));

    // The user's entry declares the types that are ours, and no others.
    const QByteArray written = test::readBytes(paths.desktopFile);
    EXPECT_EQ(written, desktopEntryText("velumix", {"audio/x-mpegurl"}));
    EXPECT_TRUE(written.contains("\nExec=velumix %F\n"));
    EXPECT_TRUE(written.endsWith("\nMimeType=audio/x-mpegurl;\n"));
}

TEST_F(Associations, AListThatCannotBeReadIsLeftAlone) {
    QDir().mkpath(paths.mimeappsList);  // a folder where the list should be
    EXPECT_NE(associations.update({1, 1, 1, 1, 1}), std::nullopt);
    EXPECT_FALSE(QFile::exists(paths.desktopFile));
    EXPECT_EQ(associations.read(), Flags{});
}

TEST(DesktopEntry, TheInstalledEntryIsTheOneWrittenForTheUser) {
    EXPECT_EQ(test::readBytes(VX_SOURCE_DIR "/data/velumix.desktop"), desktopEntryText("velumix", openableMimeTypes()));
    // A program outside PATH is named in full, quoted and escaped as an Exec line wants it.
    EXPECT_TRUE(desktopEntryText("/opt/My DJ's/vx", {}).contains("\nExec=\"/opt/My DJ's/vx\" %F\n"));
    EXPECT_TRUE(desktopEntryText("/opt/100%/vx", {}).contains("\nExec=/opt/100%%/vx %F\n"));
}

// The desktop's own answer: xdg-mime reads the list and checks that the entry's program exists.
TEST_F(Associations, TheDesktopToolsSeeTheChoice) {
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    ASSERT_FALSE(xdgMime.isEmpty()) << "xdg-mime (Debian's xdg-utils) is needed";
    for (const char* program : {"velumix", "otherplayer"}) {
        const QString file = test::writeBytes(dir.filePath(QStringLiteral("bin/") + program), "#!/bin/sh\n");
        QFile::setPermissions(file, QFile::permissions(file) | QFile::ExeOwner);
    }
    test::writeBytes(dir.filePath("data/applications/other.desktop"),
                     "[Desktop Entry]\nType=Application\nName=Other\nExec=otherplayer %U\n");
    writeList("[Default Applications]\naudio/x-ms-wma=other.desktop;\n");

    // A clean environment: no desktop session is detected and no system-wide list is read.
    QProcessEnvironment env;
    env.insert("PATH", dir.filePath("bin") + ":/usr/bin:/bin");
    env.insert("HOME", dir.path());
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    env.insert("XDG_CONFIG_DIRS", dir.filePath("none"));
    env.insert("XDG_DATA_DIRS", dir.filePath("none"));
    auto query = [&](const QString& type) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(xdgMime, {"query", "default", type});
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    };

    ASSERT_EQ(associations.update({1, 0, 1, 1, 0}), std::nullopt);
    const char* answers[][2] = {{"audio/mpeg", "velumix.desktop"},     {"audio/x-ms-wma", "other.desktop"},
                                {"video/x-ms-asf", "velumix.desktop"}, {"audio/x-wav", "velumix.desktop"},
                                {"audio/wav", "velumix.desktop"},      {"audio/x-mpegurl", ""}};
    for (const auto& [type, program] : answers) EXPECT_EQ(query(type), program) << type;

    ASSERT_EQ(associations.update({0, 0, 0, 0, 0}), std::nullopt);
    for (const auto& [type, program] : answers) {
        EXPECT_EQ(query(type), QString(type) == "audio/x-ms-wma" ? "other.desktop" : "") << type;
    }
}

}  // namespace
}  // namespace vx
