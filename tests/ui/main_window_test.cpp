#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/app_lifecycle.h"
#include "app/dj_console.h"
#include "support/fake_dialogs.h"
#include "support/fake_sound_library.h"
#include "support/fake_ticker.h"
#include "support/memory_settings.h"
#include "ui/loading_window.h"
#include "support/good_libraries.h"

namespace vx {
namespace {

void ensureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives for the whole test program
}

struct OneDeck : DeckHandles {
    audio::Handle left = 0;
    audio::Handle streamHandle(int deck) const override { return deck == 0 ? left : 0; }
};

// A library whose output breaks up as often as the test says.
struct BreakingLibrary : test::FakeSoundLibrary {
    std::uint64_t breaks = 0;
    std::uint64_t dropouts() const override { return breaks; }
};

class MainWindowTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    BreakingLibrary library;
    test::FakeDialogs dialogs;
    test::MemorySettings store;
    test::FakeTicker ticker;
    OneDeck decks;
    std::unique_ptr<AppLifecycle> app;
    std::unique_ptr<MainWindow> window;

    void start(int djSetup = 0) {
        ensureApplication();
        store.write("DjSetup", QString::number(djSetup));
        app =
            std::make_unique<AppLifecycle>(library, dialogs, store, ticker, AppPaths::under(dir.path()), &test::goodLibraries);
        app->setDecks(&decks);
        ASSERT_TRUE(app->start());
        window = std::make_unique<MainWindow>(*app);
        window->show();
    }
    QRect geometryOf(const char* name) { return window->findChild<QWidget*>(name)->geometry(); }
};

TEST_F(MainWindowTest, IsAFramelessWindowWithItsNamedControls) {
    start();
    EXPECT_EQ(window->objectName(), "brevistoF");
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    for (const char* name : {"titleBar", "imgIcon", "CmdMinimizeButton", "cmdcloseButton", "optionsCB",
                             "playListCB", "Left_Deck", "Mixer", "Right_Deck"}) {
        EXPECT_NE(window->findChild<QWidget*>(name), nullptr) << name;
    }
}

TEST_F(MainWindowTest, TheTitleStripTellsOnEveryTickHowOftenTheSoundBrokeUp) {
    start();
    QWidget* bar = window->findChild<QWidget*>("titleBar");
    EXPECT_EQ(bar->toolTip(), "The sound has played without a break since start");
    window->startConsole();  // the display ticks from here on
    library.breaks = 3;
    ticker.advance(1000);
    EXPECT_EQ(bar->toolTip(), "The sound broke up 3 times since start");
}

TEST_F(MainWindowTest, PanelsStandInTheClubOrderAndTheWindowFitsThem) {
    start(0);
    const QRect left = geometryOf("Left_Deck"), mixer = geometryOf("Mixer"), right = geometryOf("Right_Deck");
    EXPECT_EQ(left.top(), mixer.top());
    EXPECT_EQ(mixer.top(), right.top());
    EXPECT_GT(left.top(), geometryOf("titleBar").bottom());
    EXPECT_LT(left.right(), mixer.left());
    EXPECT_LT(mixer.right(), right.left());
    EXPECT_EQ(mixer.left() - left.right(), right.left() - mixer.right());
    EXPECT_GT(window->width(), right.right());
    EXPECT_EQ(window->width() - 1 - right.right(), left.left());  // the same margin on both sides
}

TEST_F(MainWindowTest, BattleSetUpsMoveTheMixerToEitherEnd) {
    start(1);
    EXPECT_LT(geometryOf("Mixer").right(), geometryOf("Left_Deck").left());
    EXPECT_LT(geometryOf("Left_Deck").right(), geometryOf("Right_Deck").left());
    window->applyDjSetup(2);
    EXPECT_LT(geometryOf("Right_Deck").right(), geometryOf("Mixer").left());
    EXPECT_GT(window->width(), geometryOf("Mixer").right());  // the mixer is never cut off
}

TEST_F(MainWindowTest, CloseIsRefusedWhileADeckPlays) {
    start();
    // The window's own left deck plays a song.
    const QString song = dir.filePath("a.mp3");
    QFile(song).open(QIODevice::WriteOnly);
    library.addFile(song.toStdString());
    ASSERT_TRUE(window->console().deck(Side::Left).loadSong(song));
    window->console().deck(Side::Left).play_Click();
    decks.left = window->console().deck(Side::Left).state().streamHandle;
    ASSERT_EQ(library.stream(decks.left)->activity, audio::kPlaying);
    QTest::mouseClick(window->findChild<QPushButton*>("cmdcloseButton"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Can't Exit when song is playing. Pause or Stop all music before closing...");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(library.running);

    library.stream(decks.left)->activity = audio::kPaused;
    QTest::mouseClick(window->findChild<QPushButton*>("cmdcloseButton"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(library.running);
    EXPECT_EQ(app->state(), AppLifecycle::State::ShutDown);
}

TEST_F(MainWindowTest, ExitClosesTheOtherWindowsLastOpenedFirst) {
    start();
    std::vector<QString> closed;
    struct Tool : QWidget {
        std::vector<QString>* log;
        void closeEvent(QCloseEvent* e) override {
            log->push_back(objectName());
            QWidget::closeEvent(e);
        }
    };
    Tool first, second;
    first.setObjectName("playlistF");
    second.setObjectName("searchF");
    first.log = second.log = &closed;
    first.show();
    second.show();
    window->addOpenWindow(&first);
    window->addOpenWindow(&second);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(closed, (std::vector<QString>{"searchF", "playlistF"}));
}

TEST_F(MainWindowTest, F1WithoutAManualSaysHelpCannotStart) {
    start();
    QTest::keyClick(window.get(), Qt::Key_F1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Help cannot start...");
}

TEST(LoadingWindow, ShowsVersionAndNeverCountsBackwards) {
    ensureApplication();
    LoadingWindow splash;
    EXPECT_EQ(splash.objectName(), "loadingF");
    EXPECT_EQ(splash.status(), "Initializing Sound System...");
    const QRegularExpression version("^version \\d+\\.\\d+ build \\d+$");
    EXPECT_TRUE(version.match(splash.findChild<QLabel*>("ver_label")->text()).hasMatch());
    splash.setLoadedSongs(12);
    EXPECT_EQ(splash.status(), "Loading Playlist: 12 Songs done...");
    splash.setLoadedSongs(5);
    EXPECT_EQ(splash.status(), "Loading Playlist: 12 Songs done...");
    EXPECT_EQ(splash.findChild<QLabel*>("loadingLABEL")->text(), splash.status());
}

}  // namespace
}  // namespace vx
