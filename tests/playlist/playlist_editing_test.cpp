#include "playlist/quicksort.h"
#include "playlist/shuffle.h"
#include "playlist_fixture.h"

using vx::Dialogs;
using vx::test::PlaylistFixture;
using namespace vx::playlist;

TEST(QuickSort, SortsByRankBothWaysAndKeepsPathsWithKeys) {
    std::vector<SortRow> rows{{"b", "pb"}, {"A", "pA"}, {"c", "pc"}, {"a2", "pa2"}};
    assignLocaleRanks(rows);
    quickSort(rows, 0, 3, SortDirection::Ascending);
    EXPECT_EQ(rows[0].path, "pA");
    EXPECT_EQ(rows[1].path, "pa2");
    EXPECT_EQ(rows[2].path, "pb");
    EXPECT_EQ(rows[3].path, "pc");
    quickSort(rows, 0, 3, SortDirection::Descending);
    EXPECT_EQ(rows[0].key, "c");
    EXPECT_EQ(rows[3].key, "A");
}

TEST(QuickSort, LargeAndDegenerateInputs) {
    std::vector<SortRow> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({QString::number(i), QString::number(i), (i * 7919) % 5000});
    quickSort(rows, 0, 4999, SortDirection::Ascending);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(rows[size_t(i)].rank, i);
    std::vector<SortRow> same(3000, SortRow{"x", "p", 0});  // all equal, and already sorted input
    quickSort(same, 0, 2999, SortDirection::Descending);
    quickSort(rows, 0, 4999, SortDirection::Ascending);
    EXPECT_EQ(rows.back().rank, 4999);
}

TEST(Shuffle, SwapCountsAndFixedStart) {
    FixedSeedRandom a, b;
    EXPECT_EQ(shuffleSwaps(2, a).size(), 5u);
    EXPECT_EQ(shuffleSwaps(999, a).size(), 1000u);
    EXPECT_EQ(shuffleSwaps(0, a).size(), 0u);
    FixedSeedRandom c, d;
    const auto swaps = shuffleSwaps(9, c);
    EXPECT_EQ(swaps, shuffleSwaps(9, d));
    for (int r : swaps) EXPECT_TRUE(r >= 0 && r <= 9);
}

TEST_F(PlaylistFixture, SortAscendingAndDescendingRenumbers) {
    model.loadsongs_to_playlist({song("1", "b", ""), song("2", "A", ""), song("3", "c", "")});
    model.playlistChanged = false;
    model.sortList(SortDirection::Ascending);
    EXPECT_EQ(lines(), (QStringList{"1.  A", "2.  b", "3.  c"}));
    EXPECT_EQ(model.nextSongText, "1.  A");
    EXPECT_TRUE(model.playlistChanged);
    model.sortList(SortDirection::Descending);
    EXPECT_EQ(lines(), (QStringList{"1.  c", "2.  b", "3.  A"}));
}

TEST_F(PlaylistFixture, SortReadsChangedTagsAfresh) {
    model.loadsongs_to_playlist({song("1", "b", ""), song("2", "a", "")});
    vx::test::writeTaggedMp3(model.path(0), "Zulu longer", "");
    model.sortList(SortDirection::Ascending);
    EXPECT_EQ(lines(), (QStringList{"1.  a", "2.  Zulu longer"}));
}

TEST_F(PlaylistFixture, OneEntrySortOrShuffleOnlyMarksChanged) {
    model.loadsongs_to_playlist(songs({"Only"}));
    model.playlistChanged = false;
    model.sortList(SortDirection::Ascending);
    EXPECT_TRUE(model.playlistChanged);
    model.playlistChanged = false;
    model.shuffle();
    EXPECT_TRUE(model.playlistChanged);
    EXPECT_EQ(lines(), QStringList{"1.  Only - Only"});
}

TEST_F(PlaylistFixture, ShuffleFollowsTheFixedSwapsAndRenumbers) {
    const QStringList in = songs({"A", "B", "C", "D"});
    model.loadsongs_to_playlist(in);
    model.shuffle();
    std::vector<QString> expected(in.begin(), in.end());
    FixedSeedRandom fresh;
    applyShuffle(expected, shuffleSwaps(3, fresh));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(model.path(i), expected[size_t(i)]);
        EXPECT_TRUE(model.line(i).startsWith(QString::number(i + 1) + ".  "));
    }
    EXPECT_EQ(model.selectedIndex(), 0);
}

TEST_F(PlaylistFixture, RemoveQuotesTheLineAndSelectsTheNeighbour) {
    QStringList titles;
    for (int i = 1; i <= 12; ++i) titles << QString("S%1").arg(i);
    model.loadsongs_to_playlist(songs(titles));
    model.select(11);
    dialogs.answers.push_back(Dialogs::Answer::No);
    model.removeCurrent();
    EXPECT_EQ(dialogs.shown.back().text, "Remove \".  S12 - S12\" from the playlist?");
    EXPECT_EQ(dialogs.shown.back().title, "Remove Song from playlist");
    EXPECT_EQ(dialogs.shown.back().icon, Dialogs::Icon::Question);
    EXPECT_EQ(model.count(), 12);
    model.select(2);
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    model.removeCurrent();
    EXPECT_EQ(dialogs.shown.back().text, "Remove \"S3 - S3\" from the playlist?");
    EXPECT_EQ(model.count(), 11);
    EXPECT_EQ(model.line(2), "4.  S4 - S4");  // numbers stay
    EXPECT_EQ(model.selectedIndex(), 2);
    model.select(10);
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    model.removeCurrent();
    EXPECT_EQ(model.selectedIndex(), 9);  // the new last entry
    EXPECT_EQ(model.nextSongPath, model.path(9));
}

TEST_F(PlaylistFixture, RemovingTheOnlyEntryLeavesNothingSelected) {
    model.loadsongs_to_playlist(songs({"Only"}));
    model.playlistChanged = false;
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    model.removeCurrent();
    EXPECT_EQ(model.count(), 0);
    EXPECT_EQ(model.selectedIndex(), -1);
    EXPECT_TRUE(model.nextSongPath.isEmpty());
    EXPECT_TRUE(model.playlistChanged);
    model.removeCurrent();  // empty: no question
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(PlaylistFixture, ClearAsksFirst) {
    model.loadsongs_to_playlist(songs({"A", "B"}));
    model.playlistFileName = "/keep.m3u";
    dialogs.answers.push_back(Dialogs::Answer::No);
    model.clearAll();
    EXPECT_EQ(model.count(), 2);
    EXPECT_EQ(dialogs.shown.back().text, "Remove all songs from the playlist?");
    EXPECT_EQ(dialogs.shown.back().icon, Dialogs::Icon::Exclamation);
    dialogs.answers.push_back(Dialogs::Answer::Yes);
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
    model.sortList(SortDirection::Ascending);
    EXPECT_EQ(lines(), (QStringList{"1.  A - A", "2.  B - B", "3.  C - C"}));
}

TEST_F(PlaylistFixture, TagEditorNeedsASongAndRebuildsItsLine) {
    EXPECT_FALSE(model.editTagsCommand());
    EXPECT_EQ(dialogs.shown.back().text, "Please add some music First...");
    EXPECT_EQ(dialogs.shown.back().title, "Error - No Song loaded");
    EXPECT_EQ(dialogs.shown.back().icon, Dialogs::Icon::Information);
    model.loadsongs_to_playlist(songs({"A", "B", "C"}));
    EXPECT_TRUE(model.editTagsCommand());
    model.select(2);
    vx::test::writeTaggedMp3(model.path(2), "New", "Name");
    model.rebuildLineAfterTagEdit();
    EXPECT_EQ(model.line(2), "3. New - Name");
    EXPECT_EQ(model.nextSongText, "3. New - Name");
}
