#include "playlist/command_line.h"
#include "playlist/m3u.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/tag_fixtures.h"

using namespace vx::playlist;

TEST(CommandLine, ExtensionsInAnyCase) {
    EXPECT_EQ(classifyCommandLine(""), CommandLineKind::Empty);
    EXPECT_EQ(classifyCommandLine("/m/song.mp3"), CommandLineKind::MusicFile);
    EXPECT_EQ(classifyCommandLine("/m/SONG.Wav"), CommandLineKind::MusicFile);
    EXPECT_EQ(classifyCommandLine("/m/a.WMA"), CommandLineKind::MusicFile);
    EXPECT_EQ(classifyCommandLine("/m/a.asf"), CommandLineKind::MusicFile);
    EXPECT_EQ(classifyCommandLine("/m/list.M3U"), CommandLineKind::Playlist);
    EXPECT_EQ(classifyCommandLine("/m/list.m3u8"), CommandLineKind::Playlist);
    EXPECT_EQ(classifyCommandLine("/m/song.mp3\""), CommandLineKind::Other);
    EXPECT_EQ(classifyCommandLine("/m/notes.txt"), CommandLineKind::Other);
    EXPECT_FALSE(isPlaylistFileName("m3u"));  // a name, not an extension
}

TEST(PlaylistFolder, MissingWhenNoSuchFolder) {
    QTemporaryDir dir;
    EXPECT_FALSE(playlistFolderMissing(dir.path()));
    EXPECT_TRUE(playlistFolderMissing(dir.filePath("none")));
    EXPECT_TRUE(playlistFolderMissing(vx::test::writeBytes(dir.filePath("file"), "x")));
    EXPECT_TRUE(playlistFolderMissing(""));
    EXPECT_FALSE(playlistFolderMissing("/"));  // a one-character name that is a folder
}
