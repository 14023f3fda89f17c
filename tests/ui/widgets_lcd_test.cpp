#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ui/widgets/lcd_display.h"
#include "ui/widgets/waveform_image.h"
#include "ui/widgets/waveform_overview.h"
#include "widgets_app.h"

using vx::ui::LcdDisplay;
using vx::ui::WaveformOverview;
namespace wave = vx::ui::wave;

namespace {

class LcdDisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lcd.resize(340, 128);
        lcd.show();
    }
    QPoint progressPoint(int percent) const {
        const QRect r = lcd.progressRect();
        return QPoint(r.left() + (r.width() - 1) * percent / 100, r.center().y());
    }
    vx::test::WithApp app_;
    LcdDisplay lcd;
};

TEST_F(LcdDisplayTest, DraggingTheProgressBarReportsTheNewValue) {
    lcd.setProgress(10);
    QSignalSpy moved(&lcd, &LcdDisplay::progressMoved);
    QTest::mousePress(&lcd, Qt::LeftButton, {}, progressPoint(50));
    EXPECT_TRUE(lcd.isProgressHeld());
    EXPECT_EQ(lcd.progress(), 50);
    QTest::mouseMove(&lcd, progressPoint(75));
    EXPECT_EQ(lcd.progress(), 75);
    // The display tick keeps setting the song's position; the bar stays where the hand holds it.
    lcd.setProgress(11);
    EXPECT_EQ(lcd.progress(), 75);
    QTest::mouseRelease(&lcd, Qt::LeftButton, {}, progressPoint(75));
    EXPECT_FALSE(lcd.isProgressHeld());
    ASSERT_EQ(moved.count(), 2);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 50);
    EXPECT_EQ(moved.at(1).at(0).toInt(), 75);
    lcd.setProgress(12);
    EXPECT_EQ(lcd.progress(), 12);
}

// The bar stays within 0..100 whatever is set or wherever the hand goes; only a left press on it seeks.
TEST_F(LcdDisplayTest, ProgressStaysWithinItsEndsAndOnlyALeftPressOnTheBarSeeks) {
    lcd.setProgress(140);
    EXPECT_EQ(lcd.progress(), 100);
    lcd.setProgress(-3);
    EXPECT_EQ(lcd.progress(), 0);
    QSignalSpy moved(&lcd, &LcdDisplay::progressMoved);
    QTest::mouseClick(&lcd, Qt::LeftButton, {}, lcd.titleRect().center());
    QTest::mouseClick(&lcd, Qt::RightButton, {}, progressPoint(60));
    EXPECT_EQ(moved.count(), 0);
    EXPECT_EQ(lcd.progress(), 0);
    QTest::mousePress(&lcd, Qt::LeftButton, {}, progressPoint(50));
    QTest::mouseMove(&lcd, QPoint(lcd.width() + 40, lcd.progressRect().center().y()));
    EXPECT_EQ(lcd.progress(), 100);
    QTest::mouseMove(&lcd, QPoint(-40, 0));
    EXPECT_EQ(lcd.progress(), 0);
    QTest::mouseRelease(&lcd, Qt::LeftButton, {}, QPoint(-40, 0));
}

// A title too long for the display scrolls a step a tick and wraps round; a new one starts at its
// beginning; a short one stands still.
TEST_F(LcdDisplayTest, ALongTitleScrollsOnEachTickAndWrapsAroundAShortOneStandsStill) {
    lcd.setTitleText(
        QStringLiteral("A rather long track title by a rather long artist name          Velumix"));
    ASSERT_TRUE(lcd.titleScrolls());
    const QImage before = vx::test::render(lcd);
    lcd.tick();
    lcd.tick();
    EXPECT_EQ(lcd.titleScrollOffset(), 2 * LcdDisplay::kScrollStep);
    EXPECT_NE(vx::test::render(lcd).copy(lcd.titleRect()), before.copy(lcd.titleRect()));
    for (int i = 0; i < 2000 && lcd.titleScrollOffset() != 0; ++i) lcd.tick();
    EXPECT_EQ(lcd.titleScrollOffset(), 0);
    lcd.tick();
    lcd.setTitleText(QStringLiteral("Another very long title that still does not fit on the display"));
    EXPECT_EQ(lcd.titleScrollOffset(), 0);
    lcd.setTitleText(QStringLiteral("Short"));
    lcd.tick();
    EXPECT_FALSE(lcd.titleScrolls());
    EXPECT_EQ(lcd.titleScrollOffset(), 0);
}

// Every indicator and edit arrow shows in the picture; an arrow number out of range is no arrow.
TEST_F(LcdDisplayTest, IndicatorsAndArrowsShowInThePicture) {
    const QImage blank = vx::test::render(lcd);
    for (int i = 0; i < LcdDisplay::IndicatorCount; ++i) {
        const auto which = static_cast<LcdDisplay::Indicator>(i);
        lcd.setIndicator(which, true);
        EXPECT_NE(vx::test::render(lcd), blank) << "indicator " << i;
        lcd.setIndicator(which, false);
    }
    EXPECT_EQ(vx::test::render(lcd), blank);
    lcd.setCueEditArrow(7);
    EXPECT_EQ(lcd.cueEditArrow(), LcdDisplay::ArrowNone);
    lcd.setLoopEditArrow(0);
    const QImage forward = vx::test::render(lcd);
    EXPECT_NE(forward, blank);
    lcd.setLoopEditArrow(2);
    EXPECT_NE(vx::test::render(lcd), forward);
}

// Each mark stands at its time's share of the overview, on the plain bar and on the waveform alike; the
// waveform's picture is made again only for a new waveform or size, not for marks or the play position.
TEST_F(LcdDisplayTest, OverviewMarksStandAtTheirTimesAndTheWaveformIsDrawnOnce) {
    WaveformOverview& o = *lcd.overview();
    vx::DeckMarks m;
    m.lengthS = 200;
    m.positionS = 150;
    m.cueS = 20;
    m.mixS = 90;
    m.hotCues = {50.0, std::nullopt, std::nullopt, 170.0};
    vx::analysis::WaveformSummary summary;
    for (auto& band : summary.peak) band.assign(20000, 40);
    const struct {
        double seconds;
        QRgb colour;
    } marks[] = {{20, wave::kCue}, {50, wave::kHotCue[0]}, {90, wave::kMix}, {170, wave::kHotCue[3]}};
    for (const bool withWaveform : {false, true}) {
        o.setWaveform(withWaveform ? &summary : nullptr, withWaveform ? 1 : 0);
        o.setMarks(m);
        const QImage picture = vx::test::render(lcd).copy(lcd.progressRect());
        for (const auto& mark : marks) {
            const int x = o.xOf(mark.seconds);
            EXPECT_EQ(x, std::lround(mark.seconds / m.lengthS * (o.width() - 1)));
            EXPECT_EQ(picture.pixel(x, o.height() / 2), mark.colour) << mark.seconds << " " << withWaveform;
        }
    }
    const int builds = o.imageBuilds();
    for (double at : {151.0, 152.0, 153.0}) {
        m.positionS = at;
        o.setMarks(m);
        vx::test::render(lcd);
    }
    EXPECT_EQ(o.imageBuilds(), builds);
    o.setWaveform(&summary, 2);
    vx::test::render(lcd);
    EXPECT_EQ(o.imageBuilds(), builds + 1);
}

}  // namespace
