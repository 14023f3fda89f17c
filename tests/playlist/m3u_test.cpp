#include "playlist/m3u.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/tag_fixtures.h"

using namespace vx::playlist;

TEST(M3u, EveryLineEndAndTheLastLineWithoutOne) {
    const QStringList expected{"/a/1.mp3", "/a/2.mp3", "/a/3.mp3", "/a/4.mp3"};
    EXPECT_EQ(parseM3u("/a/1.mp3\r\n/a/2.mp3\n/a/3.mp3\r/a/4.mp3", "/x"), expected);
}

TEST(M3u, SkipsBlankAndCommentLinesAndTrimsBlanks) {
    const QByteArray text =
        "#EXTM3U\r\n#EXTINF:123,Artist - Title\r\n  /a/1.mp3  \r\n\r\n   \r\n/a/2.mp3\r\n";
    EXPECT_EQ(parseM3u(text, "/x"), (QStringList{"/a/1.mp3", "/a/2.mp3"}));
}

TEST(M3u, ByteOrderMarkUtf8AndLatin1) {
    EXPECT_EQ(parseM3u("\xEF\xBB\xBF/m/Caf\xC3\xA9.mp3\r\n", "/x"),
              QStringList{QString::fromUtf8("/m/Café.mp3")});
    EXPECT_EQ(parseM3u("/m/Caf\xE9.mp3\r\n", "/x"), QStringList{QString::fromUtf8("/m/Café.mp3")});
}

TEST(M3u, RelativePathsResolveAgainstThePlaylistFolder) {
    EXPECT_EQ(parseM3u("songs/a.mp3\r\n../b.mp3\r\n/abs/c.mp3\r\nC:\\Music\\d.mp3\r\n", "/lists/mine"),
              (QStringList{"/lists/mine/songs/a.mp3", "/lists/b.mp3", "/abs/c.mp3", "C:\\Music\\d.mp3"}));
}

TEST(M3u, WritesOnePathPerLineWithCrLfAndReadsItBack) {
    QTemporaryDir dir;
    const QString file = dir.filePath("three.m3u");
    const QStringList paths{dir.filePath("a.mp3"), QString::fromUtf8("/m/Ünïcode.mp3"),
                            dir.filePath("c d.mp3")};
    ASSERT_TRUE(writeM3u(file, paths));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              paths[0].toUtf8() + "\r\n" + paths[1].toUtf8() + "\r\n" + paths[2].toUtf8() + "\r\n");
    EXPECT_EQ(readM3u(file), paths);
    ASSERT_TRUE(writeM3u(file, {}));
    EXPECT_EQ(QFileInfo(file).size(), 0);
    EXPECT_FALSE(readM3u(dir.filePath("missing.m3u")).has_value());
}

TEST(M3u, PlaylistNamesInAnyCase) {
    EXPECT_TRUE(isPlaylistFileName("a.M3U"));
    EXPECT_TRUE(isPlaylistFileName("a.m3u8"));
    EXPECT_FALSE(isPlaylistFileName("a.mp3"));
    EXPECT_FALSE(isPlaylistFileName("m3u"));
}
