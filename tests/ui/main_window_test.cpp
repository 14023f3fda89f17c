#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/console_fixture.h"
#include "ui/loading_window.h"
#include "widgets_app.h"

namespace vx {
namespace {

struct OneDeck : DeckHandles {
    audio::Handle left = 0;
    audio::Handle streamHandle(int deck) const override { return deck == 0 ? left : 0; }
};

class MainWindowTest : public ::testing::Test, public test::WithApp, public test::ConsoleFixture {
  protected:
    OneDeck decks;
    std::unique_ptr<MainWindow> window;

    void start(int djSetup = 0) {
        store.write("DjSetup", QString::number(djSetup));
        app->setDecks(&decks);
        ASSERT_TRUE(app->start());
        window = std::make_unique<MainWindow>(*app);
        window->show();
    }
    QRect geometryOf(const char* name) { return window->findChild<QWidget*>(name)->geometry(); }
};

TEST_F(MainWindowTest, TheTitleStripTellsOnEveryTickHowOftenTheSoundBrokeUp) {
    start();
    QWidget* bar = window->findChild<QWidget*>("titleBar");
    EXPECT_EQ(bar->toolTip(), "The sound has played without a break since start");
    window->startConsole();  // the display ticks from here on
    for (const auto& [breaks, text] : {std::pair<int, const char*>{1, "The sound broke up once since start"},
                                       {3, "The sound broke up 3 times since start"}}) {
        library.breaks = breaks;
        ticker.advance(1000);
        EXPECT_EQ(bar->toolTip(), text);
    }
}

// Each set-up's order of panels, evenly spaced, with the window's margins equal and nothing cut off.
TEST_F(MainWindowTest, PanelsStandInEachSetUpsOrderAndTheWindowFitsThem) {
    start(0);
    const std::array<std::array<const char*, 3>, 3> orders{{{"Left_Deck", "Mixer", "Right_Deck"},
                                                            {"Mixer", "Left_Deck", "Right_Deck"},
                                                            {"Left_Deck", "Right_Deck", "Mixer"}}};
    for (int setup = 0; setup < 3; ++setup) {
        window->applyDjSetup(setup);
        const QRect a = geometryOf(orders[setup][0]), b = geometryOf(orders[setup][1]),
                    c = geometryOf(orders[setup][2]);
        EXPECT_TRUE(a.top() == b.top() && b.top() == c.top()) << setup;
        EXPECT_GT(a.top(), geometryOf("titleBar").bottom()) << setup;
        EXPECT_LT(a.right(), b.left()) << setup;
        EXPECT_LT(b.right(), c.left()) << setup;
        EXPECT_EQ(b.left() - a.right(), c.left() - b.right()) << setup;
        EXPECT_EQ(window->width() - 1 - c.right(), a.left()) << setup;
    }
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
    ASSERT_EQ(dialogs.titles(), (QStringList{"Help cannot start..."}));
}

// The splash counts the start's playlist load up, never back, and closes when it has finished or is clicked.
TEST(LoadingWindow, CountsUpThenClosesWhenThePlaylistHasLoaded) {
    test::widgetsApp();
    LoadingWindow splash;
    splash.show();
    EXPECT_FALSE(splash.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(splash.status(), "Initializing Sound System...");
    const QRegularExpression version("^version \\d+\\.\\d+ build \\d+$");
    EXPECT_TRUE(version.match(splash.findChild<QLabel*>("ver_label")->text()).hasMatch());
    splash.showStartLoad(40, false);
    splash.showStartLoad(10, false);
    EXPECT_EQ(splash.status(), "Loading Playlist: 40 Songs done...");
    EXPECT_EQ(splash.findChild<QLabel*>("loadingLABEL")->text(), splash.status());
    EXPECT_TRUE(splash.isVisible());
    splash.showStartLoad(120, true);
    EXPECT_EQ(splash.status(), "Loading Playlist: 120 Songs done...");
    EXPECT_FALSE(splash.isVisible());

    LoadingWindow clicked;
    clicked.show();
    QTest::mouseClick(&clicked, Qt::LeftButton);
    EXPECT_FALSE(clicked.isVisible());
}

}  // namespace
}  // namespace vx
