#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ui/widgets/dj_slider.h"
#include "widgets_app.h"

using vx::ui::DjSlider;

namespace {

class DjSliderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        slider.setRange(0, 100);
        slider.setLargeChange(10);
        slider.setSmallChange(1);
        slider.resize(44, 224);
        slider.show();
    }
    vx::test::WithApp app_;
    DjSlider slider{Qt::Vertical};
};

TEST_F(DjSliderTest, DraggingTheCapDownRaisesTheValueAndSettlesOnRelease) {
    slider.setValue(20);
    QSignalSpy scrolling(&slider, &DjSlider::scrolling);
    QSignalSpy settled(&slider, &DjSlider::valueSettled);
    const QPoint cap = slider.capRect().center();
    QTest::mousePress(&slider, Qt::LeftButton, {}, cap);
    EXPECT_EQ(slider.value(), 20);  // grabbing the cap does not move it
    QTest::mouseMove(&slider, cap + QPoint(0, 40));
    QTest::mouseMove(&slider, cap + QPoint(0, 80));
    EXPECT_GT(slider.value(), 20);
    EXPECT_GE(scrolling.count(), 2);
    EXPECT_EQ(settled.count(), 0);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, cap + QPoint(0, 80));
    ASSERT_EQ(settled.count(), 1);
    EXPECT_EQ(settled.at(0).at(0).toInt(), slider.value());
    // 80 of the cap's travel pixels, a little under half of it.
    EXPECT_NEAR(slider.value(), 20 + 80 * 100 / (224 - slider.capRect().height() - 4), 1);
}

// A vertical slider grows downwards, a horizontal one to the right: a click on the groove's end jumps
// there and each key moves the cap the way it points; only the user's changes settle, and every mouse
// button is reported while only the left one moves the cap.
TEST_F(DjSliderTest, ClicksAndKeysMoveTheCapTheWayTheyPoint) {
    slider.setValue(0);
    QSignalSpy settled(&slider, &DjSlider::valueSettled);
    QSignalSpy pressed(&slider, &DjSlider::mousePressed);
    QTest::mouseClick(&slider, Qt::RightButton, {}, QPoint(22, 200));
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(slider.value(), 0);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(22, 223));
    EXPECT_EQ(slider.value(), 100);
    slider.setValue(50);
    EXPECT_EQ(settled.count(), 1);  // the program's own setValue is no settle
    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Up, 49},       {Qt::Key_Down, 50},   {Qt::Key_Down, 51},
                                            {Qt::Key_PageDown, 61}, {Qt::Key_PageUp, 51}, {Qt::Key_Home, 0},
                                            {Qt::Key_End, 100},     {Qt::Key_Down, 100}};
    for (const auto& [key, value] : keys) {
        QTest::keyClick(&slider, key);
        EXPECT_EQ(slider.value(), value) << key;
    }
    EXPECT_EQ(settled.count(), 8);  // at the end nothing moves and nothing settles

    DjSlider h(Qt::Horizontal);
    h.setRange(0, 100);
    h.resize(200, 40);
    h.show();
    QTest::mouseClick(&h, Qt::LeftButton, {}, QPoint(199, 20));
    EXPECT_EQ(h.value(), 100);
    QTest::keyClick(&h, Qt::Key_Left);
    EXPECT_EQ(h.value(), 99);
    QTest::keyClick(&h, Qt::Key_Up);
    EXPECT_EQ(h.value(), 100);
}

TEST_F(DjSliderTest, CapPositionShowsInThePicture) {
    slider.setValue(0);
    const QPoint nearTop = slider.capRect().center() + QPoint(0, 4);
    const QImage top = vx::test::render(slider);
    slider.setValue(100);
    EXPECT_NE(top.pixel(nearTop), vx::test::render(slider).pixel(nearTop));
}

}  // namespace
