#include "playlist/command_line.h"
#include "playlist/m3u.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/tag_fixtures.h"

using namespace vx::playlist;

TEST(CommandLine, ExtensionsInAnyCase) {
    const std::pair<const char*, CommandLineKind> rows[] = {
        {"", CommandLineKind::Empty},           {"/m/SONG.Wav", CommandLineKind::MusicFile},
        {"/m/a.asf", CommandLineKind::MusicFile}, {"/m/list.M3U", CommandLineKind::Playlist},
        {"/m/list.m3u8", CommandLineKind::Playlist}, {"/m/song.mp3\"", CommandLineKind::Other},
        {"/m/notes.txt", CommandLineKind::Other}};
    for (const auto& [line, kind] : rows) EXPECT_EQ(classifyCommandLine(line), kind) << line;
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
