#include "tags/mp3_info.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/tag_fixtures.h"
#include "tags/genres.h"

using vx::tags::Mp3Info;
using vx::tags::parseFileName;

TEST(GenreTable, KeepsItsNumbersAndSpelling) {
    const QStringList& g = vx::tags::genreNames();
    ASSERT_EQ(g.size(), 148);
    EXPECT_EQ(g.at(0), "Blues");
    EXPECT_EQ(g.at(17), "Rock");
    EXPECT_EQ(g.at(67), "Phychedelic");
    EXPECT_EQ(g.at(90), "Avantegarde");
    EXPECT_EQ(g.at(117), "power Ballad");
    EXPECT_EQ(g.at(131), "indie");
    EXPECT_EQ(g.at(140), "Comteporary Christian");
    EXPECT_EQ(g.at(144), "Trash Metal");
    EXPECT_EQ(g.at(147), "Synth Pop");
    EXPECT_EQ(vx::tags::genreName(255), "");
}

TEST(FileNameGuesser, ListFormWithNumbers) {
    const auto f = parseFileName("C:\\Music\\Artist - Album - 01 - Song.mp3");
    EXPECT_EQ(f.title.trimmed(), "Song");
    EXPECT_EQ(f.artist.trimmed(), "Artist");
    EXPECT_EQ(f.album.trimmed(), "Album");
    EXPECT_TRUE(f.year.isEmpty() && f.comment.isEmpty() && f.genre.isEmpty());
}

TEST(FileNameGuesser, NameWithoutBlankIsTheTitle) {
    const auto f = parseFileName("C:\\Music\\Sub\\Song_Name.mp3");
    EXPECT_EQ(f.title, "Song Name");
    EXPECT_TRUE(f.artist.isEmpty() && f.album.isEmpty());
}

TEST(FileNameGuesser, ParenthesisForm) {
    auto f = parseFileName("C:\\Music\\(Artist) Song.mp3");
    EXPECT_EQ(f.artist, "Artist");
    EXPECT_EQ(f.title, "Song");
    f = parseFileName("/m/(The Band) - Tune.mp3");
    EXPECT_EQ(f.artist, "The Band");
    EXPECT_EQ(f.title, "Tune");
    f = parseFileName("/m/(The Band) Tune-Record.mp3");
    EXPECT_EQ(f.title, "Tune");
    EXPECT_EQ(f.album, "Record");
    f = parseFileName("/m/(Unclosed name.mp3");  // no ")": the rest is the artist
    EXPECT_EQ(f.artist, "Unclosed name");
}

TEST(FileNameGuesser, FolderStepClimbsUntilATitleOrTheTop) {
    auto f = parseFileName("C:\\Music\\Artist - Song.mp3");
    EXPECT_EQ(f.artist.trimmed(), "Music");
    EXPECT_EQ(f.album.trimmed(), "Artist");
    EXPECT_TRUE(f.title.isEmpty());
    // Climbs twice: "music - 07 - Artist - Song", where Artist follows the number.
    f = parseFileName("/music/07/Artist - Song.mp3");
    EXPECT_EQ(f.artist.trimmed(), "music");
    EXPECT_EQ(f.title.trimmed(), "Artist");
    EXPECT_EQ(f.album.trimmed(), "Song");
    f = parseFileName("Artist - Song");  // no folder, no extension
    EXPECT_EQ(f.artist.trimmed(), "Artist");
    EXPECT_EQ(f.album.trimmed(), "Song");
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
