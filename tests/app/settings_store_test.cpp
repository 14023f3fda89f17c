#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "services/ini_settings_store.h"
#include "support/hostile_files.h"
#include "support/tag_fixtures.h"

namespace vx {
namespace {
using test::HostileKind;
using test::hostileKinds;
using test::makeHostile;


class IniSettingsStoreTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString file() const { return dir.path() + "/Velumix/Velumix.conf"; }
    void put(const QByteArray& bytes) const { test::writeBytes(file(), bytes); }
};

// Missing names answer the marker; names match whatever their case and keep their first spelling; any
// text comes back as written, from the file the next start reads.
TEST_F(IniSettingsStoreTest, NamesMatchWithoutCaseAndAnyTextSurvivesTheRoundTrip) {
    const QString tricky = "C:\\Music\\a=b\r\nsecond line \u00e9\u266b [x] ;not a comment";
    {
        IniSettingsStore store(file());
        EXPECT_EQ(store.read("Buffer"), kSettingNotFound);
        store.write("InitQuality", "FM Quality - 22100Hz");
        store.write("initQuality", "CD Quality - 44100Hz");  // the same value
        EXPECT_EQ(store.read("INITQUALITY"), "CD Quality - 44100Hz");
        store.write("Last Playlist", tricky);
        store.write("Empty", "");
    }
    const QByteArray text = test::readBytes(file());
    EXPECT_EQ(text.count("nitQuality="), 1) << text.constData();
    EXPECT_TRUE(text.contains("InitQuality=CD Quality - 44100Hz"));
    IniSettingsStore again(file());
    EXPECT_EQ(again.read("initquality"), "CD Quality - 44100Hz");
    EXPECT_EQ(again.read("last playlist"), tricky);
    EXPECT_EQ(again.read("Empty"), "");
    EXPECT_EQ(again.read("pitchRange"), kSettingNotFound);
}

TEST_F(IniSettingsStoreTest, LongValuesAreCutToWhatFitsTheReadBuffer) {
    IniSettingsStore store(file());
    store.write("fits", QString(2047, 'a'));
    store.write("cut", QString(2048, 'b'));
    store.write("long", QString(5000, 'c'));
    store.write("wide", QString(1500, QChar(0x00e9)));  // two bytes each: cut on a character boundary
    EXPECT_EQ(store.read("fits").size(), 2047);
    EXPECT_EQ(store.read("cut"), QString(2047, 'b'));
    EXPECT_EQ(store.read("long").size(), 2047);
    EXPECT_EQ(store.read("wide"), QString(1023, QChar(0x00e9)));
}

// A hand-written file: what the program does not own, and the exact bytes of the values it does not change,
// come back byte for byte after the program has written every value it read back unchanged.
TEST_F(IniSettingsStoreTest, RewritesKeepEverythingButTheChangedValue) {
    const QByteArray longValue(3000, 'x');
    const QByteArray rich =
        "\xEF\xBB\xBF# comment\r\n  Buffer = 0.5\r\n[velumix]\r\n"
        "playlistPath=/home/j\xF6rg/Musik\r\n"  // Latin-1, not UTF-8
        "no equals sign\r\n=orphan\r\n; Buffer=0.6\r\nBUFFER=0.7\r\n"
        "long=" +
        longValue +
        "\r\n\r\n[Other]\r\nBuffer=9\r\n";
    struct Case {
        const char* what;
        QByteArray before;
        QString name, value;
        QByteArray after;
    };
    const Case cases[] = {
        {"the line that counts changes", rich, "buffer", "1.2",
         QByteArray(rich).replace("BUFFER=0.7", "BUFFER=1.2")},
        {"a new name ends the program's section", rich, "stutteringSpeed", "70",
         QByteArray(rich).replace("\r\n\r\n[Other]", "\r\nstutteringSpeed=70\r\n\r\n[Other]")},
        {"a section is added after a last line without an end", "# only a comment", "Buffer", "1",
         "# only a comment\n[Velumix]\nBuffer=1\n"},
        {"a last line ended by CR alone gets only its LF", "[Velumix]\r\nBuffer=1\r", "long", "2",
         "[Velumix]\r\nBuffer=1\r\nlong=2\r\n"},
        {"a long value is replaced whole", "[Velumix]\nlong=" + longValue + "\n", "long", "short",
         "[Velumix]\nlong=short\n"},
    };
    for (const Case& c : cases) {
        put(c.before);
        IniSettingsStore store(file());
        for (const char* name : {"Buffer", "playlistPath", "long"}) {
            // As the program does at exit (a value cut or decoded with losses included): nothing changes.
            if (store.read(name) != kSettingNotFound) store.write(name, store.read(name));
        }
        EXPECT_EQ(test::readBytes(file()), c.before) << c.what;
        store.write(c.name, c.value);
        EXPECT_EQ(store.read(c.name), c.value) << c.what;
        EXPECT_EQ(test::readBytes(file()), c.after) << c.what;
    }
    put(rich);
    IniSettingsStore again(file());
    EXPECT_EQ(again.read("buffer"), "0.7");  // the last line counts; comments and other sections do not
    EXPECT_EQ(again.read("playlistPath"), QString::fromUtf8("/home/j\xF6rg/Musik"));
    EXPECT_EQ(again.read(""), kSettingNotFound);
}

// Anything but a regular file of at most 1 MiB holds no settings, answers at once, and is never replaced.
TEST_F(IniSettingsStoreTest, FilesThatAreNotOursToReadGiveTheDefaultsAndStay) {
    QDir().mkpath(dir.path() + "/Velumix");
    for (const HostileKind& k : hostileKinds()) {
        ASSERT_TRUE(makeHostile(k.kind, file())) << k.name;
        const QFileInfo before(file());
        IniSettingsStore store(file());
        store.write("Buffer", "1.1");
        EXPECT_EQ(store.read("Buffer"), kSettingNotFound) << k.name;
        const QFileInfo after(file());
        EXPECT_TRUE(after.isSymLink() == before.isSymLink() && after.isDir() == before.isDir() &&
                    !after.isFile())
            << k.name;
        if (after.isDir()) QDir(file()).removeRecursively();
        QFile::remove(file());
    }
    const QByteArray oversized = "Buffer=1.5\n#" + QByteArray(IniSettingsStore::kMaxFileBytes, '#');
    put(oversized);
    IniSettingsStore store(file());
    store.write("Buffer", "1.1");
    EXPECT_EQ(store.read("Buffer"), kSettingNotFound);
    EXPECT_EQ(test::readBytes(file()), oversized);

    QFile::remove(file());
    IniSettingsStore growing(file());
    growing.write("Buffer", "1.1");
    growing.write("huge", QString(IniSettingsStore::kMaxFileBytes, 'h'));  // would make the file unreadable
    EXPECT_EQ(growing.read("huge"), kSettingNotFound);
    EXPECT_EQ(IniSettingsStore(file()).read("Buffer"), "1.1");
}

TEST_F(IniSettingsStoreTest, AFolderThatCannotBeMadeIsSilent) {
    test::writeBytes(dir.path() + "/Velumix", {});  // a file where the folder should be
    IniSettingsStore store(file());
    store.write("Buffer", "1.1");
    EXPECT_EQ(store.read("Buffer"), kSettingNotFound);
}

}  // namespace
}  // namespace vx
