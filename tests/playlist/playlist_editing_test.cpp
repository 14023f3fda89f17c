#include "playlist/quicksort.h"
#include "playlist/shuffle.h"
#include "playlist_fixture.h"

using vx::Dialogs;
using vx::test::PlaylistFixture;
using namespace vx::playlist;

// Large, already sorted and all-equal inputs neither overflow the stack nor lose rows.
TEST(QuickSort, LargeAndDegenerateInputs) {
    std::vector<SortRow> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({QString::number(i), QString::number(i), (i * 7919) % 5000});
    quickSort(rows, 0, 4999, SortDirection::Ascending);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(rows[size_t(i)].rank, i);
    std::vector<SortRow> same(3000, SortRow{"x", "p", 0});
    quickSort(same, 0, 2999, SortDirection::Descending);
    quickSort(rows, 0, 4999, SortDirection::Ascending);
    EXPECT_EQ(rows.back().rank, 4999);
}

// The same fixed sequence every run, each swap within the list.
TEST(Shuffle, FixedSequence) {
    FixedSeedRandom a, b;
    const auto swaps = shuffleSwaps(9, a);
    EXPECT_EQ(swaps, shuffleSwaps(9, b));
    for (int r : swaps) EXPECT_TRUE(r >= 0 && r <= 9);
}

// Sorting reads the tags afresh, keeps paths with their texts and renumbers; shuffling renumbers; both
// mark the list changed even with one entry.
TEST_F(PlaylistFixture, SortAndShuffleRenumber) {
    model.loadsongs_to_playlist({song("1", "b", ""), song("2", "A", ""), song("3", "c", "")});
    vx::test::writeTaggedMp3(model.path(2), "Zulu", "");
    model.playlistChanged = false;
    model.sortList(SortDirection::Ascending);
    EXPECT_EQ(lines(), (QStringList{"1.  A", "2.  b", "3.  Zulu"}));
    EXPECT_EQ(model.nextSongText, "1.  A");
    EXPECT_TRUE(model.playlistChanged);
    model.sortList(SortDirection::Descending);
    EXPECT_EQ(lines(), (QStringList{"1.  Zulu", "2.  b", "3.  A"}));
    EXPECT_TRUE(model.path(0).endsWith("3.mp3"));
    model.shuffle();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(model.line(i).startsWith(QString::number(i + 1) + ".  "));
    EXPECT_EQ(model.selectedIndex(), 0);

    model.new_playlist();
    model.loadsongs_to_playlist(songs({"Only"}));
    for (const auto change : {+[](PlaylistModel& m) { m.sortList(SortDirection::Ascending); },
                              +[](PlaylistModel& m) { m.shuffle(); }}) {
        model.playlistChanged = false;
        change(model);
        EXPECT_TRUE(model.playlistChanged);
    }
}

TEST_F(PlaylistFixture, RemoveQuotesTheLineAndSelectsTheNeighbour) {
    QStringList titles;
    for (int i = 1; i <= 12; ++i) titles << QString("S%1").arg(i);
    model.loadsongs_to_playlist(songs(titles));
    model.select(11);
    dialogs.answers.push_back(Dialogs::Answer::No);
    model.removeCurrent();
    EXPECT_EQ(dialogs.shown.back().text, "Remove \".  S12 - S12\" from the playlist?");
    EXPECT_EQ(model.count(), 12);
    model.select(2);
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    model.removeCurrent();
    EXPECT_EQ(dialogs.shown.back().text, "Remove \"S3 - S3\" from the playlist?");
    EXPECT_EQ(model.line(2), "4.  S4 - S4");  // numbers stay
    EXPECT_EQ(model.selectedIndex(), 2);
    model.select(10);
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    model.removeCurrent();
    EXPECT_EQ(model.selectedIndex(), 9);  // the new last entry
    EXPECT_EQ(model.nextSongPath, model.path(9));

    model.new_playlist();
    model.loadsongs_to_playlist(songs({"Only"}));
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    model.removeCurrent();
    EXPECT_EQ(model.selectedIndex(), -1);
    EXPECT_TRUE(model.nextSongPath.isEmpty());
    const std::size_t asked = dialogs.shown.size();
    model.removeCurrent();  // empty: no question
    EXPECT_EQ(dialogs.shown.size(), asked);
}

TEST_F(PlaylistFixture, ClearAsksFirstAndKeepsTheFileName) {
    model.loadsongs_to_playlist(songs({"A", "B"}));
    model.playlistFileName = "/keep.m3u";
    dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    model.clearAll();
    EXPECT_EQ(model.count(), 2);
    EXPECT_EQ(dialogs.shown.back().text, "Remove all songs from the playlist?");
    model.clearAll();
    EXPECT_EQ(model.count(), 0);
    EXPECT_EQ(model.playlistFileName, "/keep.m3u");
}

TEST_F(PlaylistFixture, MoveKeepsNumbersAndStopsAtTheEnds) {
    model.loadsongs_to_playlist(songs({"A", "B", "C"}));
    model.select(2);
    model.playlistChanged = false;
    model.moveUp();
    EXPECT_EQ(lines(), (QStringList{"1.  A - A", "3.  C - C", "2.  B - B"}));
    EXPECT_EQ(model.playlistPosition, 1);
    EXPECT_TRUE(model.playlistChanged);
    model.select(0);
    model.playlistChanged = false;
    model.moveUp();
    model.select(2);
    model.moveDown();
    EXPECT_FALSE(model.playlistChanged);
    EXPECT_EQ(model.line(2), "2.  B - B");
}

TEST_F(PlaylistFixture, TagEditorNeedsASongAndRebuildsItsLine) {
    EXPECT_FALSE(model.editTagsCommand());
    EXPECT_EQ(dialogs.shown.back().text, "Please add some music First...");
    model.loadsongs_to_playlist(songs({"A", "B", "C"}));
    EXPECT_TRUE(model.editTagsCommand());
    model.select(2);
    vx::test::writeTaggedMp3(model.path(2), "New", "Name");
    model.rebuildLineAfterTagEdit();
    EXPECT_EQ(model.line(2), "3. New - Name");
    EXPECT_EQ(model.nextSongText, "3. New - Name");
}
