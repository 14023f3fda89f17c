#include "services/atomic_file.h"

#include <gtest/gtest.h>

#include "support/file_size_limit.h"
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "deck/loop_file.h"
#include "playlist/m3u.h"
#include "services/ini_settings_store.h"
#include "support/faulty_file_system.h"
#include "support/tag_fixtures.h"
#include "tags/id3v1.h"
#include "tags/id3v2_writer.h"

namespace vx::test {
namespace {


// Rewrites the file where it is, so that its links stay what they were.
void putBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QStringList temporariesIn(const QString& folder) {
    QStringList found;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (isAtomicTemporaryName(QFile::encodeName(name))) found << name;
    }
    return found;
}

struct Writer {
    const char* name;
    const char* fileName;
    std::function<QByteArray()> oldBytes;
    std::function<bool(const QString& path, FileSystem& fs)> save;  // true when it reports success
};

const std::vector<Writer>& writers() {
    static const std::vector<Writer> all{
        {"settings", "Velumix.conf", [] { return QByteArray("[Velumix]\nBuffer=1.1\n"); },
         [](const QString& path, FileSystem& fs) {
             IniSettingsStore store(path, fs);
             store.write("Buffer", "2.0");
             return store.read("Buffer") == "2.0";
         }},
        {"playlist", "list.m3u", [] { return QByteArray("/old.mp3\r\n"); },
         [](const QString& path, FileSystem& fs) {
             return playlist::writeM3u(path, {"/new.mp3", "/other.mp3"}, nullptr, fs);
         }},
        {"loop file", "tune_L.dat", [] { return loopfile::format(1, 2); },
         [](const QString& path, FileSystem& fs) { return !loopfile::write(path, 1000, 2000, fs); }},
        {"ID3v1", "v1.mp3", [] { return mpegFrames(2) + id3v1Block("Old", "Band"); },
         [](const QString& path, FileSystem& fs) {
             tags::Id3v1Block block;
             block.title = "New";
             return !tags::writeId3v1Tag(path, block, fs);
         }},
        {"ID3v2", "v2.mp3",
         [] {
             return id3v2Tag({{"TIT2", textContent(TextEncoding::Latin1, "Old")}}) + mpegFrames(2);
         },
         [](const QString& path, FileSystem& fs) {
             return !tags::writeId3v2Tag(path, {"New", "Band", "Album", "1999", "Note"}, fs);
         }},
    };
    return all;
}

enum class Layout { Plain, SymbolicLink, HardLink };

// Every writer, given the file itself, a symbolic link to it or one of its two hard links: a clean save
// changes the real file (the link stays a link, the other name sees the change, the permission bits stay);
// a fault at any point before the rename reports failure and leaves the old bytes; a fault in the folder
// sync after it reports failure with the new bytes whole. Never is a temporary left behind.
TEST(AtomicFile, EveryWriterSurvivesAFaultAtEveryPoint) {
    for (const Writer& writer : writers()) {
        for (const Layout layout : {Layout::Plain, Layout::SymbolicLink, Layout::HardLink}) {
            SCOPED_TRACE(testing::Message() << writer.name << ", layout " << int(layout));
            QTemporaryDir dir;
            const QString real = dir.filePath(QStringLiteral("real/") + writer.fileName);
            const QString other = dir.filePath(QStringLiteral("other/") + writer.fileName);
            const QByteArray oldBytes = writer.oldBytes();
            writeBytes(real, oldBytes);
            QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
            QDir().mkpath(dir.filePath("other"));
            QString given = real;
            if (layout == Layout::SymbolicLink) {
                ASSERT_EQ(
                    ::symlink(QFile::encodeName(real).constData(), QFile::encodeName(other).constData()), 0);
                given = other;
            } else if (layout == Layout::HardLink) {
                ASSERT_EQ(::link(QFile::encodeName(real).constData(), QFile::encodeName(other).constData()),
                          0);
            }
            const auto expectClean = [&] {
                EXPECT_EQ(temporariesIn(dir.filePath("real")), QStringList());
                EXPECT_EQ(temporariesIn(dir.filePath("other")), QStringList());
                EXPECT_EQ(QFileInfo(real).permissions() & 0x7077,
                          (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup) & 0x7077);
                if (layout == Layout::SymbolicLink) {
                    EXPECT_TRUE(QFileInfo(other).isSymLink());
                }
                if (layout == Layout::HardLink) {
                    struct stat st {};
                    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
                    EXPECT_EQ(st.st_nlink, 2u);
                    EXPECT_EQ(readBytes(other), readBytes(real));
                }
            };

            FaultyFileSystem fs;
            ASSERT_TRUE(writer.save(given, fs));
            const QByteArray newBytes = readBytes(real);
            EXPECT_NE(newBytes, oldBytes);
            expectClean();
            const int points = fs.points;
            ASSERT_GE(points, 4);
            for (int n = 1; n <= points; ++n) {
                putBytes(real, oldBytes);
                fs.reset(n);
                EXPECT_FALSE(writer.save(given, fs))
                    << "fault " << n << " (" << fs.failed.toStdString() << ")";
                EXPECT_EQ(readBytes(real), fs.failed == "syncFolder" ? newBytes : oldBytes)
                    << "fault " << n << " (" << fs.failed.toStdString() << ")";
                expectClean();
            }
        }
    }
}

// A real fault: a file size limit cuts the write short, for root too.
TEST(AtomicFile, AFileSizeLimitLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString file = writeBytes(dir.filePath("list.m3u"), "/old.mp3\r\n");
    const auto failure = [&] {
        const FileSizeLimit limit(64);
        return writeFileAtomically(file, QByteArray(500, 'x'));
    }();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, EFBIG);
    EXPECT_FALSE(failure->text.isEmpty());
    EXPECT_EQ(readBytes(file), "/old.mp3\r\n");
    EXPECT_EQ(temporariesIn(dir.path()), QStringList());
}

TEST(AtomicFile, OnlyRegularFilesAreReplacedAndLongNamesFit) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.m3u");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(writeFileAtomically(fifo, "x"));
    EXPECT_TRUE(writeFileAtomically(dir.path(), "x"));
    EXPECT_FALSE(QFileInfo(fifo).isFile());

    // The temporary's name is cut to fit beside a file whose name is as long as a name can be.
    const QString longName = dir.filePath(QString(125, QChar(0x00e9)) + ".m3u");
    EXPECT_FALSE(writeFileAtomically(longName, "new"));
    EXPECT_EQ(readBytes(longName), "new");
    EXPECT_EQ(temporariesIn(dir.path()), QStringList());
}

TEST(AtomicFile, OnlyOurTemporariesOlderThanADayAreRemoved) {
    QTemporaryDir dir;
    const auto make = [&](const QString& name, qint64 ageSeconds) {
        const QString path = writeBytes(dir.filePath(name), "x");
        const utimbuf times{::time(nullptr) - ageSeconds, ::time(nullptr) - ageSeconds};
        ::utime(QFile::encodeName(path).constData(), &times);
    };
    make(".list.m3u.vx-Ab12cD", 2 * 86400);  // stale: removed
    make(".list.m3u.vx-Xy34zW", 3600);       // a save that may be running: kept
    make(".list.m3u.vx-Ab12c", 2 * 86400);   // not our name: kept
    make("list.m3u.vx-Ab12cD", 2 * 86400);   // not hidden, not ours: kept
    make("old.m3u", 2 * 86400);
    EXPECT_EQ(removeStaleTemporaries(dir.path()), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
    EXPECT_FALSE(QFile::exists(dir.filePath(".list.m3u.vx-Ab12cD")));
    EXPECT_EQ(removeStaleTemporaries(dir.filePath("missing")), 0);
}

}  // namespace
}  // namespace vx::test
