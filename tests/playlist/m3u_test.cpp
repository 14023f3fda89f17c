#include "playlist/m3u.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/tag_fixtures.h"

using namespace vx::playlist;

namespace {
// A literal's bytes, NULs included.
template <std::size_t N>
QByteArray raw(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}
}  // namespace

// Every line end and a last line without one, comments and blank lines skipped, blanks trimmed; encodings
// per line, UTF-16 with either byte order, refused lines, '/' as the only separator.
TEST(M3u, EncodingsRefusedLinesAndResolution) {
    const QString cafe = QString::fromUtf8("Café.mp3");
    struct Case {
        QByteArray bytes;
        QStringList paths;
        QList<QByteArray> fileNames;  // empty: the paths' UTF-8
        QStringList rejected;
    };
    const Case cases[] = {
        {"/a/1.mp3\r\n/a/2.mp3\n/a/3.mp3\r/a/4.mp3", {"/a/1.mp3", "/a/2.mp3", "/a/3.mp3", "/a/4.mp3"}, {}, {}},
        {"#EXTM3U\r\n#EXTINF:123,Artist - Title\r\n  /a/1.mp3  \r\n\r\n   \r\n/a/2.mp3\r\n",
         {"/a/1.mp3", "/a/2.mp3"},
         {},
         {}},
        {"\xEF\xBB\xBF/m/Caf\xC3\xA9.mp3\r\n", {"/m/" + cafe}, {}, {}},
        {"/m/Caf\xE9.mp3\r\n", {"/m/" + cafe}, {"/m/Caf\xE9.mp3"}, {}},
        // One Latin-1 line leaves its UTF-8 neighbours alone.
        {"Caf\xC3\xA9.mp3\nCaf\xE9.mp3\n",
         {"/x/" + cafe, "/x/" + cafe},
         {"/x/Caf\xC3\xA9.mp3", "/x/Caf\xE9.mp3"},
         {}},
        {raw("\xFF\xFE/\0m\0/\0\xE9\0\r\0\n\0a\0"), {QString::fromUtf8("/m/é"), "/x/a"}, {}, {}},
        {raw("\xFE\xFF\0/\0m\0\n\0a\0\0\0b"), {"/m"}, {}, {"line 2 holds a NUL byte"}},
        {raw("a.mp3\n/b\0c.mp3\nd.mp3"), {"/x/a.mp3", "/x/d.mp3"}, {}, {"line 2 holds a NUL byte"}},
        {"\t songs/a.mp3 \r\n../b.mp3\r\nC:\\M\\d.mp3\r\n\\e.mp3\nhttp://h/f.mp3\n",
         {"/x/songs/a.mp3", "/b.mp3", "/x/C:\\M\\d.mp3", "/x/\\e.mp3", "http://h/f.mp3"},
         {},
         {}},
        {"#" + QByteArray(kMaxPlaylistLineBytes + 1, 'a') + "\n" +
             QByteArray(kMaxPlaylistLineBytes + 1, 'a') + "\n/ok.mp3",
         {"/ok.mp3"},
         {},
         {"line 2 is longer than 1 MiB"}},
    };
    for (const Case& c : cases) {
        const M3uContents contents = parseM3uContents(c.bytes, "/x");
        QStringList paths;
        QList<QByteArray> names;
        for (const M3uEntry& e : contents.entries) {
            paths << e.path;
            names << e.fileName;
        }
        QList<QByteArray> expectedNames = c.fileNames;
        if (expectedNames.isEmpty()) {
            for (const QString& p : c.paths) expectedNames << p.toUtf8();
        }
        EXPECT_EQ(paths, c.paths) << c.bytes.left(60).toHex().toStdString();
        EXPECT_EQ(names, expectedNames) << c.bytes.left(60).toHex().toStdString();
        EXPECT_EQ(contents.rejected, c.rejected) << c.bytes.left(60).toHex().toStdString();
    }
}

// Only regular files of bounded size are read; the rest is refused at once with a reason.
TEST(M3u, RefusesWhatIsNotABoundedRegularFile) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkfifo((folder + "/fifo.m3u").constData(), 0600), 0);
    ASSERT_EQ(::symlink("loop.m3u", (folder + "/loop.m3u").constData()), 0);
    ASSERT_TRUE(QDir().mkdir(dir.filePath("dir.m3u")));
    QFile big(dir.filePath("big.m3u"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kMaxPlaylistBytes + 1));
    big.close();
    const std::pair<QByteArray, QString> cases[] = {
        {folder + "/fifo.m3u", "is not a regular file"},
        {"/dev/zero", "is not a regular file"},
        {folder + "/loop.m3u", "Too many levels of symbolic links"},
        {folder + "/dir.m3u", "is a folder, not a playlist file"},
        {folder + "/big.m3u", "is larger than 64 MiB"},
        {folder + "/missing.m3u", "No such file or directory"},
    };
    for (const auto& [name, reason] : cases) {
        QString error;
        EXPECT_FALSE(readM3uFile(name, &error).has_value()) << name.toStdString();
        EXPECT_EQ(error, reason) << name.toStdString();
    }
}
