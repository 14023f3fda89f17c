
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QTest>

#include "app/console_fixture.h"
#include "ui/console_geometry.h"
#include "ui/main_window.h"
#include "ui/widgets/lcd_display.h"
#include "ui/widgets/state_button.h"
#include "widgets_app.h"

namespace vx {
namespace {

using ui::consoleGeometry;

TEST(ConsoleGeometry, OpensWholeOnTheScreenAsItIsNow) {
    const QSize least = ui::minimumConsoleSize();
    ASSERT_LE(least.width(), 1366);  // a laptop with a panel: 1366 x ~720 free
    ASSERT_LE(least.height(), 720);
    struct Case {
        const char* what;
        std::optional<QRect> remembered;
        QRect available;
        QRect expected;
    };
    const Case cases[] = {
        {"first time, full HD: most of the screen, centred", std::nullopt, QRect(0, 30, 1920, 1050),
         QRect(96, 121, 1728, 868)},
        {"first time, laptop: the design size, centred", std::nullopt, QRect(0, 48, 1366, 720),
         QRect(60, 95, 1246, 626)},
        {"remembered, fits: kept as it was", QRect(50, 60, 1500, 800), QRect(0, 0, 1920, 1080),
         QRect(50, 60, 1500, 800)},
        {"the screen shrank: shrunk onto it", QRect(100, 50, 1800, 1000), QRect(0, 0, 1366, 720),
         QRect(0, 0, 1366, 720)},
        {"its monitor is gone: moved back on", QRect(3000, 2000, 1300, 700), QRect(0, 0, 1920, 1080),
         QRect(620, 380, 1300, 700)},
        {"smaller than the controls allow: the minimum", QRect(10, 10, 200, 100), QRect(0, 0, 1920, 1080),
         QRect(QPoint(10, 10), least)},
    };
    for (const Case& c : cases) EXPECT_EQ(consoleGeometry(c.remembered, c.available), c.expected) << c.what;

    EXPECT_EQ(ui::geometryFromText(ui::geometryText(QRect(-5, 7, 1300, 700))), QRect(-5, 7, 1300, 700));
    for (const char* bad : {"not found", "1,2,3", "1,2,0,5", "a,b,c,d", ""})
        EXPECT_FALSE(ui::geometryFromText(bad)) << bad;
}

class ConsoleScaling : public ::testing::Test, public test::WithApp, public test::ConsoleFixture {
  protected:
    std::unique_ptr<MainWindow> window;

    void open() {
        ASSERT_TRUE(app->start());
        window = std::make_unique<MainWindow>(*app);
        window->startConsole();
        window->show();
    }
    void resizeTo(QSize size) {
        window->resize(size);
        QApplication::sendPostedEvents();
        window->layout()->activate();
    }
    // Every control of the console lies inside the window and is no smaller than it may be.
    void expectWhole() {
        const QRect inside = window->rect();
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->isWindow() || !w->isVisible()) continue;
            const QRect r(w->mapTo(window.get(), QPoint(0, 0)), w->size());
            EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString() << " at " << window->width();
            EXPECT_GE(w->height(), w->minimumHeight()) << w->objectName().toStdString();
        }
    }
};

TEST_F(ConsoleScaling, EverythingGrowsWithTheWindowAndStaysWhole) {
    open();
    auto* lcd = window->findChild<ui::LcdDisplay*>("LCD_L");
    auto* play = window->findChild<ui::StateButton*>("playCB");
    auto* fader = window->findChild<QWidget*>("LVolScroll");
    auto* options = window->findChild<QWidget*>("optionsCB");

    const auto measures = [&] {
        return QList<double>{double(lcd->height()), double(play->font().pixelSize()), double(fader->height()),
                             options->font().pointSizeF(), double(lcd->titleRect().height())};
    };
    resizeTo(window->minimumSize());
    EXPECT_EQ(window->size(), ui::minimumConsoleSize());  // the controls need no more than that
    expectWhole();
    const QList<double> small = measures();
    resizeTo(ui::kConsoleDesignSize * 2);
    EXPECT_DOUBLE_EQ(window->scale(), 2.0);
    expectWhole();
    const QList<double> large = measures();
    const double ratio = 2.0 / ui::kConsoleMinScale;
    for (int i = 0; i < small.size(); ++i) EXPECT_NEAR(large[i] / small[i], ratio, 0.2 * ratio) << "measure " << i;

    // A wide, low window stretches the panels and scales by its height.
    resizeTo(QSize(2400, 700));
    EXPECT_NEAR(window->scale(), 700.0 / ui::kConsoleDesignSize.height(), 0.01);
    expectWhole();
}

TEST_F(ConsoleScaling, OnlyTheTitleStripMovesTheWindowAndItsPlaceIsRemembered) {
    open();
    // A press on the mixer's background is a missed control: nothing moves.
    QWidget* mixer = window->findChild<QWidget*>("Mixer");
    QTest::mousePress(mixer, Qt::LeftButton, {}, QPoint(mixer->width() / 2, 3));
    EXPECT_NE(window->cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseRelease(mixer, Qt::LeftButton, {}, QPoint(mixer->width() / 2, 3));
    // The edges resize; the middle does not.
    const int w = window->width(), h = window->height();
    EXPECT_EQ(window->resizeEdgesAt(QPoint(w - 1, h - 1)), Qt::RightEdge | Qt::BottomEdge);
    EXPECT_EQ(window->resizeEdgesAt(QPoint(2, h / 2)), Qt::LeftEdge);
    EXPECT_EQ(window->resizeEdgesAt(QPoint(w / 2, h / 2)), Qt::Edges());
    EXPECT_EQ(window->resizeEdgesAt(QPoint(w / 2, 10)), Qt::Edges());  // the title strip

    const QRect placed(20, 30, window->minimumWidth() + 10, window->minimumHeight() + 20);
    window->setGeometry(placed);
    ASSERT_TRUE(window->close());
    const auto kept = ui::geometryFromText(store.read("MainWindowGeometry"));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->size(), placed.size());
    MainWindow again(*app);
    EXPECT_EQ(again.geometry(), consoleGeometry(kept, QGuiApplication::primaryScreen()->availableGeometry()));
}

}  // namespace
}  // namespace vx
