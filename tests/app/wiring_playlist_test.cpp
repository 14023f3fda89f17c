#include <QElapsedTimer>

#include "app/wiring_fixture.h"
#include "deck/deck.h"
#include "tags/tag_texts.h"

namespace vx {
namespace {

using test::WiringFixture;

const QString kVelumixTail = QString(10, QLatin1Char(' ')) + QStringLiteral("Velumix");

class PlaylistWiring : public ::testing::Test, public WiringFixture {};

TEST_F(PlaylistWiring, WithoutARememberedPlaylistTheStartLoadFinishesAtOnce) {
    ASSERT_TRUE(start());
    std::vector<std::pair<int, bool>> seen;
    playlist->setStartProgress([&](int done, bool finished) { seen.emplace_back(done, finished); });
    ASSERT_TRUE(fireAsync());
    EXPECT_EQ(model().count(), 0);
    EXPECT_EQ(model().label(), "DJ PLAYLIST");
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{0, true}}));
}

TEST_F(PlaylistWiring, TheStartLoadReportsRisingProgressUntilEveryLineHasItsText) {
    test::ensureCoreApp();
    QStringList songs;
    for (int i = 0; i < 120; ++i) songs << song(QString("s%1").arg(i), QString("Song %1").arg(i));
    store.write("Last Playlist", playlistFile("long", songs));
    ASSERT_TRUE(start({}, true));
    std::vector<std::pair<int, bool>> seen;
    playlist->setStartProgress([&](int done, bool finished) { seen.emplace_back(done, finished); });
    ASSERT_TRUE(fireAsync());
    ASSERT_EQ(model().count(), 120);
    EXPECT_TRUE(playlist->startLoading());
    QElapsedTimer waited;
    waited.start();
    while (playlist->startLoading() && waited.elapsed() < 10000) QCoreApplication::processEvents();
    ASSERT_FALSE(playlist->startLoading());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), std::make_pair(120, true));
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_LE(seen[i - 1].first, seen[i].first);
    EXPECT_EQ(console->nextSongText(), "1.  Song 0 - Band");
    // Later loads are the playlist window's business, not the splash's.
    seen.clear();
    model().Load_playlist(playlistFile("short", {songs[0]}));
    while (model().isLoading() && waited.elapsed() < 10000) QCoreApplication::processEvents();
    EXPECT_TRUE(seen.empty());
}

TEST_F(PlaylistWiring, AMusicFileOnTheCommandLineLandsInThePlaylistAndPlaysOnTheLeftDeck) {
    rememberThree();
    const QString intro = song("intro", "Intro", "DJ");
    ASSERT_TRUE(start(intro));

    ASSERT_EQ(model().count(), 1);
    EXPECT_EQ(model().path(0), intro);
    EXPECT_EQ(model().selectedIndex(), 0);
    EXPECT_EQ(console->nextSongText(), "1.  Intro - DJ");
    const Deck& left = console->deck(Side::Left);
    EXPECT_EQ(left.state().fileName, intro);
    ASSERT_NE(library.stream(left.state().streamHandle), nullptr);
    EXPECT_EQ(library.stream(left.state().streamHandle)->activity, audio::kPlaying);
    EXPECT_EQ(left.lcd().title, tags::get_ID3_tag(intro) + kVelumixTail);

    // The playlist window's load then leaves the list as it is: the remembered playlist stays unread.
    ASSERT_TRUE(fireAsync());
    ASSERT_EQ(model().count(), 1);
    EXPECT_EQ(model().label(), "Now Playing: ");
    EXPECT_TRUE(model().lastPlaylist.isEmpty());
    EXPECT_TRUE(model().playlistChanged);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PlaylistWiring, FurtherFilesAndFilesHandedOverJoinThePlaylistInTheirOrder) {
    rememberThree();
    const QString intro = song("intro", "Intro"), d = song("d", "Delta"), e = song("e", "Echo");
    const QString f = song("f", "Foxtrot"), g = song("g", "Golf");
    ASSERT_TRUE(start(intro, false, {d, playlistFile("more", {e})}));
    playlist->addFiles({f});  // a later start's file, before the playlist has loaded: it waits
    ASSERT_EQ(model().count(), 1);

    ASSERT_TRUE(fireAsync());
    EXPECT_EQ(model().paths(), (QStringList{intro, d, e, f}));
    playlist->addFiles({g, dir.filePath("notes.txt")});
    EXPECT_EQ(model().paths(), (QStringList{intro, d, e, f, g}));
    // The song playing and the pick stay where they were.
    EXPECT_EQ(console->deck(Side::Left).state().fileName, intro);
    EXPECT_EQ(model().selectedIndex(), 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PlaylistWiring, TheNextSongDraggedOntoADeckShowsItsTagTitleAlsoAfterATagEdit) {
    ASSERT_TRUE(startThree());
    console->downCB_Click();
    console->beginNextSongDrag();
    console->dropOnDeck(Side::Right);
    const Deck& right = console->deck(Side::Right);
    EXPECT_EQ(right.state().fileName, b);
    EXPECT_NE(right.state().streamHandle, 0u);
    EXPECT_EQ(right.lcd().title, tags::get_ID3_tag(b) + kVelumixTail);
    EXPECT_TRUE(dialogs.shown.empty());

    // Its tags edited and saved: both decks holding it and the next-song box show the new title, the deck
    // holding another song keeps its own.
    ASSERT_TRUE(console->deck(Side::Left).loadSong(b));
    test::writeTaggedMp3(b, "Bravissimo", "Band");
    model().rebuildLineAfterTagEdit();
    ASSERT_TRUE(tags::get_ID3_tag(b).contains("Bravissimo"));
    for (Side side : {Side::Left, Side::Right})
        EXPECT_EQ(console->deck(side).lcd().title, tags::get_ID3_tag(b) + kVelumixTail);
    EXPECT_EQ(console->nextSongText(), "2. Bravissimo - Band");
    console->dropFilesOnDeck(Side::Left, {c});
    test::writeTaggedMp3(b, "Bravo", "Band");
    model().rebuildLineAfterTagEdit();
    EXPECT_TRUE(console->deck(Side::Left).lcd().title.contains("Charlie"));
    EXPECT_TRUE(right.lcd().title.contains("Bravo"));
}

TEST_F(PlaylistWiring, TheOpenButtonAddsThroughThePlaylistAndLoadsTheLastAddedSong) {
    ASSERT_TRUE(startThree());
    const QString d = song("d", "Delta"), e = song("e", "Echo");
    dialogs.openManyAnswers.push_back(QStringList{d, e});
    console->deck(Side::Left).openFile_Click();
    ASSERT_EQ(model().count(), 5);
    EXPECT_EQ(model().line(4), "5.  Echo - Band");
    EXPECT_EQ(console->deck(Side::Left).state().fileName, e);
    EXPECT_EQ(console->deck(Side::Left).lcd().title, tags::get_ID3_tag(e) + kVelumixTail);
    // The pick stays where it was.
    EXPECT_EQ(console->nextSongText(), "1.  Alpha - Band");

    // A cancelled dialog loads nothing, not even the song added before.
    dialogs.openManyAnswers.push_back(std::nullopt);
    console->deck(Side::Right).openFile_Click();
    EXPECT_TRUE(console->deck(Side::Right).state().fileName.isEmpty());
    EXPECT_TRUE(model().lastAddedSong.isEmpty());
}

class VanishedSong : public PlaylistWiring {
  protected:
    const QString notFound = QStringLiteral("The selected file can not be found at its original location.") +
                             QChar(13) + QChar(13) + QStringLiteral("Remove from Playlist?");
};

TEST_F(VanishedSong, YesRemovesTheEntryOfTheSongThatVanished) {
    ASSERT_TRUE(startThree());
    console->downCB_Click();
    library.vanishing = b.toStdString();
    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    console->beginNextSongDrag();
    console->dropOnDeck(Side::Left);

    ASSERT_EQ(dialogs.texts(), (QStringList{notFound, "Remove \"Bravo - Band\" from the playlist?"}));
    EXPECT_EQ(dialogs.shown[0].title, "File Not Found");
    EXPECT_EQ(dialogs.shown[1].title, "Remove Song from playlist");
    ASSERT_EQ(model().paths(), (QStringList{a, c}));
    EXPECT_TRUE(model().playlistChanged);
    EXPECT_EQ(console->nextSongText(), "3.  Charlie - Band");
    EXPECT_EQ(console->deck(Side::Left).state().streamHandle, 0u);
}

TEST_F(VanishedSong, ASongAddedByTheOpenButtonIsTheOneRemovedNotThePickedOne) {
    ASSERT_TRUE(startThree());
    const QString d = song("d", "Delta");
    library.vanishing = d.toStdString();
    dialogs.openManyAnswers.push_back(QStringList{d});
    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    console->deck(Side::Right).openFile_Click();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, "Remove \"Delta - Band\" from the playlist?");
    EXPECT_EQ(model().paths(), (QStringList{a, b, c}));
}

TEST_F(PlaylistWiring, AnExitBeforeThePlaylistLoadedLeavesTheRememberedPlaylistAlone) {
    const QString list = rememberThree();
    ASSERT_TRUE(start());
    ASSERT_TRUE(app->requestExit());
    playlist->unload();
    EXPECT_EQ(store.read("Last Playlist"), list);
}

}  // namespace
}  // namespace vx
