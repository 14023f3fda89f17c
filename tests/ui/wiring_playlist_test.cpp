
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include "app/wiring_fixture.h"
#include "deck/deck.h"
#include "ui/main_window.h"
#include "ui/playlist_window.h"
#include "widgets_app.h"

namespace vx {
namespace {

using test::click;
using test::named;

// The main window wired to the program's playlist over fakes; controls are used by their names.
class WiredWindow : public ::testing::Test, public test::WithApp, public test::WiringFixture {
  protected:
    std::unique_ptr<MainWindow> window;  // goes before the playlist it shows

    void open(const QString& commandLine = {}) {
        app->setCommandLine(commandLine);
        ASSERT_TRUE(app->start());
        playlist = std::make_unique<ProgramPlaylist>(*app, store, ProgramPlaylist::Options{false, 1});
        window = std::make_unique<MainWindow>(*app);
        window->attachPlaylist(*playlist, dialogs);
        window->startConsole();
        window->show();
    }
    QString nextSong() { return named<QLabel>(window.get(), "nextSongTXT")->text(); }
    void dragNextSongOnto(const char* name) {
        QTest::mousePress(named(window.get(), "nextSongTXT"), Qt::LeftButton);
        QMimeData mime;
        mime.setText(nextSong());
        test::dropOn(named(window.get(), name), mime);
    }
    ui::PlaylistWindow* playlistWindow() { return window->playlistWindow(); }
    void clickRow(int row) {
        QTreeView* list = playlistWindow()->list();
        const QRect r = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
};

TEST_F(WiredWindow, TheRememberedPlaylistOpensBehindTheConsoleAndPlayListCBShowsItCentred) {
    rememberThree();
    open();
    EXPECT_EQ(playlistWindow(), nullptr);
    ASSERT_TRUE(fireAsync());
    ASSERT_NE(playlistWindow(), nullptr);
    EXPECT_FALSE(playlistWindow()->isVisible());
    EXPECT_EQ(nextSong(), "1.  Alpha - Band");

    click(window.get(), "playListCB");
    ui::PlaylistWindow* pw = playlistWindow();
    ASSERT_TRUE(pw->isVisible());
    EXPECT_TRUE(pw->isWindow());
    EXPECT_EQ(pw->parentWidget(), window.get());
    EXPECT_FALSE(pw->isModal());
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((pw->geometry().center() - centre).manhattanLength(), 2);
    EXPECT_EQ(pw->list()->model()->rowCount(), 3);
    EXPECT_EQ(named<QLabel>(pw, "playlistLABEL")->text(), "set");

    // A click on an entry picks it for the next-song box; the console's arrows step through the list and
    // wrap round at its ends.
    clickRow(2);
    EXPECT_EQ(nextSong(), "3.  Charlie - Band");
    click(window.get(), "downCB");
    EXPECT_EQ(nextSong(), "1.  Alpha - Band");
    EXPECT_EQ(pw->list()->currentIndex().row(), 0);
    click(window.get(), "upCB");
    EXPECT_EQ(nextSong(), "3.  Charlie - Band");
    EXPECT_TRUE(dialogs.shown.empty());
}

// Files dragged from a file manager arrive as a text/uri-list: a music file loads on the deck it is dropped
// on, whichever of the deck's controls it lands on; anything else is refused like any foreign drop.
TEST_F(WiredWindow, AFileFromAFileManagerLoadsOnTheDeckItIsDroppedOn) {
    rememberThree();
    open();
    const auto dropUrls = [this](const char* target, const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        test::dropOn(named(window.get(), target), mime);
    };
    dropUrls("LCD_R", {QUrl::fromLocalFile(c)});
    EXPECT_EQ(window->console().deck(Side::Right).state().fileName, c);
    EXPECT_TRUE(window->console().deck(Side::Right).lcd().title.contains("Charlie"));
    EXPECT_TRUE(dialogs.shown.empty());

    dropUrls("playCB2", {QUrl("https://example.org/song.mp3")});
    ASSERT_EQ(dialogs.texts(), (QStringList{"Please make sure the file exists on the disk..."}));
    EXPECT_TRUE(window->console().deck(Side::Left).state().fileName.isEmpty());
}

TEST_F(WiredWindow, ExitAsksOnceAndSavesTheChangedPlaylistAndStoresTheLastPlaylist) {
    const QString list = rememberThree();
    open();
    ASSERT_TRUE(fireAsync());
    click(window.get(), "playListCB");
    click(playlistWindow(), "cmdMoveDown");
    ASSERT_TRUE(model().playlistChanged);

    dialogs.answers = {Dialogs::Answer::Cancel};
    click(window.get(), "cmdcloseButton");
    ASSERT_EQ(dialogs.texts(), (QStringList{"Save Playlist to " + list + " ?"}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(playlistWindow()->isVisible());
    EXPECT_EQ(app->state(), AppLifecycle::State::Running);

    store.write("Last Playlist", "stale");
    dialogs.answers = {Dialogs::Answer::Yes};
    click(window.get(), "cmdcloseButton");
    // Asked again and saved under its name; the playlist window goes without asking a third time.
    EXPECT_EQ(dialogs.texts().mid(1), (QStringList{dialogs.texts()[0], "Playlist has been saved."}));
    EXPECT_EQ(playlist::readM3u(list).value_or(QStringList{}), (QStringList{b, a, c}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(playlistWindow()->isVisible());
    EXPECT_EQ(app->state(), AppLifecycle::State::ShutDown);
    EXPECT_EQ(store.read("Last Playlist"), list);
}

TEST_F(WiredWindow, KeysFromKeysConfReachTheConsoleBeforeItsControlsButNotTheSearchBox) {
    rememberThree();
    test::writeBytes(app->paths().keysFile, "left_play = Y\n");
    open();
    Deck& left = window->console().deck(Side::Left);
    ASSERT_TRUE(left.loadSong(a));

    // A focused fader does not take the keys: F2 shows the labels of the map in force, the remapped key
    // plays the left deck, and PageUp is the main volume's rather than the crossfader's.
    QWidget* fader = named(window.get(), "crossFaderScroll");
    fader->setFocus();
    QTest::keyClick(fader, Qt::Key_F2);
    QLabel* play = nullptr;
    for (QLabel* l : window->findChildren<QLabel*>("keyboardTXT")) {
        EXPECT_TRUE(l->isVisible());
        if (l->property("index").toInt() == 2) play = l;
    }
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->text(), "Y");
    QTest::keyClick(fader, Qt::Key_Y);
    EXPECT_EQ(library.stream(left.state().streamHandle)->activity, audio::kPlaying);
    QTest::keyClick(fader, Qt::Key_PageUp);
    EXPECT_EQ(window->console().mixer().mainVolume(), 51);
    EXPECT_EQ(window->console().mixer().crossfader(), 50);

    // Typed into the search box, the keys stay text: "2" does not pause the left deck.
    window->showPlaylistWindow();
    click(playlistWindow(), "findCB");
    auto* text = named<QLineEdit>(playlistWindow(), "searchTXT");
    ASSERT_NE(text, nullptr);
    text->setFocus();
    QTest::keyClicks(text, "y2");
    EXPECT_EQ(text->text(), "y2");
    EXPECT_FALSE(left.state().isPaused);

    QTest::keyClick(fader, Qt::Key_Escape);
    EXPECT_FALSE(play->isVisible());
}

}  // namespace
}  // namespace vx
