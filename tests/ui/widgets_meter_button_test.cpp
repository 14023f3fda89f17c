#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ui/widgets/dj_palette.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/state_button.h"
#include "widgets_app.h"

using vx::ui::LevelMeter;
using vx::ui::StateButton;
namespace dj = vx::ui::dj;

namespace {

// Bars are kept within the engine's range and shown on a decibel scale; a peak holds, then falls to the bar.
TEST(LevelMeter, ClampsToTheEngineRangeAndThePeakHoldsThenFalls) {
    vx::test::widgetsApp();
    LevelMeter m;
    m.setBars(40000, -5);
    EXPECT_EQ(m.barA(), LevelMeter::kFullScale);
    EXPECT_EQ(m.barB(), 0);
    EXPECT_DOUBLE_EQ(LevelMeter::displayFraction(1), 0.0);  // far below the floor
    EXPECT_NEAR(LevelMeter::displayFraction(16384), 1.0 - 6.02 / 42.0, 0.001);
    LevelMeter p;
    p.setBars(30000, 20000);
    p.setBars(1000, 20000);
    EXPECT_EQ(p.peakA(), 30000);
    for (int i = 0; i < LevelMeter::kPeakHoldTicks; ++i) p.tick();
    EXPECT_EQ(p.peakA(), 30000);  // still held
    p.tick();
    EXPECT_LT(p.peakA(), 30000);
    for (int i = 0; i < 100; ++i) p.tick();
    EXPECT_EQ(p.peakA(), 1000);
    EXPECT_EQ(p.peakB(), 20000);  // a steady bar keeps its peak on it
}

TEST(LevelMeter, BarsAndTheLimitLightShowInThePicture) {
    vx::test::widgetsApp();
    LevelMeter m(Qt::Vertical);
    m.resize(30, 150);
    m.setBars(0, 0);
    const QImage silent = vx::test::render(m);
    m.setBars(32768, 0);
    const QImage loud = vx::test::render(m);
    // Bar A is the left half: its top segment is lit red; bar B stays dark.
    const QPoint topOfA(8, 6), topOfB(22, 6);
    EXPECT_NE(silent.pixel(topOfA), loud.pixel(topOfA));
    EXPECT_EQ(QColor(loud.pixel(topOfA)).rgb(), QColor::fromRgba(dj::kMeterRed).rgb());
    EXPECT_EQ(silent.pixel(topOfB), loud.pixel(topOfB));

    // The light sits past the loud end of a horizontal meter: dark red, bright red while lit.
    LevelMeter master(Qt::Horizontal);
    master.resize(200, 22);
    master.setLightShown(true);
    const QPoint light(190, 11);
    EXPECT_EQ(QColor(vx::test::render(master).pixel(light)).rgb(), QColor::fromRgba(dj::kKillDark).rgb());
    master.setLightLit(true);
    EXPECT_EQ(QColor(vx::test::render(master).pixel(light)).rgb(), QColor::fromRgba(dj::kMeterRed).rgb());
}

// Read at a glance: "on" glows over the whole face, "off" is as dim as any resting key, "disabled" is
// greyer still; a kill that is set stays visible (a faint red strip) while disabled.
TEST(StateButton, OnGlowsOffIsDimDisabledIsGrey) {
    vx::test::widgetsApp();
    const auto brightness = [](const QImage& image, QPoint at) { return QColor(image.pixel(at)).lightness(); };
    const QPoint face(6, 12), strip(40, 25);
    for (const StateButton::Style style : {StateButton::Style::Green, StateButton::Style::Kill}) {
        StateButton b(QStringLiteral("KEY"), style);
        b.resize(80, 30);
        const QImage off = vx::test::render(b);
        EXPECT_EQ(b.faceColour().rgb(), QColor::fromRgba(dj::kKeyOff).rgb());
        b.setLit(true);
        const QImage on = vx::test::render(b);
        EXPECT_GT(brightness(on, face), brightness(off, face) + 80);
        b.setEnabled(false);
        const QImage disabled = vx::test::render(b);
        EXPECT_LT(brightness(disabled, face), brightness(off, face));
        const QColor set(disabled.pixel(strip));
        if (style == StateButton::Style::Kill) {
            EXPECT_GT(set.red(), set.green() + 20);
        }
        b.setLit(false);
        EXPECT_LE(brightness(vx::test::render(b), strip), brightness(disabled, strip));
    }
}

TEST(StateButton, ClicksDoNotChangeTheLight) {
    vx::test::widgetsApp();
    StateButton b(QStringLiteral("MON L"), StateButton::Style::Green);
    b.resize(80, 30);
    b.show();
    QSignalSpy clicked(&b, &StateButton::clicked);
    QSignalSpy pressed(&b, &StateButton::mousePressed);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(b.isLit());  // the model decides, through setLit
    // A right press is reported (Play's right click returns to the cue) but is no click.
    QTest::mouseClick(&b, Qt::RightButton);
    EXPECT_EQ(clicked.count(), 1);
    ASSERT_EQ(pressed.count(), 2);
    EXPECT_EQ(pressed.at(1).at(0).value<Qt::MouseButton>(), Qt::RightButton);
}

}  // namespace
