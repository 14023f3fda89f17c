#include "tags/mp3_info.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/tag_fixtures.h"
#include "tags/genres.h"

using vx::tags::Mp3Info;
using vx::tags::parseFileName;

// The name guesser's forms: "Artist - Album - nn - Title", a bare name, "(Artist) Title-Album", and the
// folder step that climbs until a title is found or the path ends. Fields compare without blanks.
TEST(FileNameGuesser, EveryForm) {
    struct Row {
        const char* path;
        const char *title, *artist, *album;
    };
    const Row rows[] = {
        {"C:\\Music\\Artist - Album - 01 - Song.mp3", "Song", "Artist", "Album"},
        {"C:\\Music\\Sub\\Song_Name.mp3", "Song Name", "", ""},
        {"C:\\Music\\(Artist) Song.mp3", "Song", "Artist", ""},
        {"/m/(The Band) - Tune.mp3", "Tune", "The Band", ""},
        {"/m/(The Band) Tune-Record.mp3", "Tune", "The Band", "Record"},
        {"/m/(Unclosed name.mp3", "", "Unclosed name", ""},  // no ")": the rest is the artist
        {"C:\\Music\\Artist - Song.mp3", "", "Music", "Artist"},
        // Climbs twice: "music - 07 - Artist - Song", where Artist follows the number.
        {"/music/07/Artist - Song.mp3", "Artist", "music", "Song"},
        {"Artist - Song", "", "Artist", "Song"},  // no folder, no extension
    };
    for (const Row& r : rows) {
        const auto f = parseFileName(r.path);
        EXPECT_EQ(f.title.trimmed(), r.title) << r.path;
        EXPECT_EQ(f.artist.trimmed(), r.artist) << r.path;
        EXPECT_EQ(f.album.trimmed(), r.album) << r.path;
        EXPECT_TRUE(f.year.isEmpty() && f.comment.isEmpty() && f.genre.isEmpty()) << r.path;
    }
}

TEST(Mp3InfoClass, ReadsTheBlockOrGuesses) {
    QTemporaryDir dir;
    Mp3Info info;
    const QString tagged = vx::test::writeBytes(
        dir.filePath("x.MP3"),
        vx::test::mpegFrames() + vx::test::id3v1Block("T", "A", "Al", "1999", "C", 17, true));
    info.setFilename(tagged);
    EXPECT_TRUE(info.isFileID3v1());
    EXPECT_EQ(info.title(), "T");  // zero padding never shows
    EXPECT_EQ(info.artist(), "A");
    EXPECT_EQ(info.album(), "Al");
    EXPECT_EQ(info.year(), "1999");
    EXPECT_EQ(info.comment(), "C");
    EXPECT_EQ(info.genre(), "Rock");
    EXPECT_EQ(vx::tags::genreName(255), "");

    info.setFilename(vx::test::writeBytes(dir.filePath("Band - 03 - Tune.mp3"), vx::test::mpegFrames()));
    EXPECT_TRUE(info.isFileID3v1());
    EXPECT_EQ(info.artist(), "Band");
    EXPECT_EQ(info.title(), "Tune");
    EXPECT_EQ(info.genre(), "");

    info.setFilename(vx::test::writeBytes(
        dir.filePath("g.mp3"), vx::test::mpegFrames() + vx::test::id3v1Block("T", "A", {}, {}, {}, 0)));
    info.setFilename(vx::test::writeBytes(dir.filePath("tone.wav"), "RIFF"));
    EXPECT_FALSE(info.isFileID3v1());
    EXPECT_EQ(info.title(), "");
    EXPECT_EQ(info.genre(), "Blues");  // an invalid path keeps the earlier genre
    info.setFilename(dir.filePath("missing.mp3"));
    EXPECT_FALSE(info.isFileID3v1());
    info.setFilename(vx::test::writeBytes(dir.filePath("short.mp3"), "TAG"));
    EXPECT_TRUE(info.isFileID3v1());
    EXPECT_EQ(info.title(), "short");
}
