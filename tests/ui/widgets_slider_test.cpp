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
        vx::test::widgetsApp();
        slider.setRange(0, 100);
        slider.setLargeChange(10);
        slider.setSmallChange(1);
        slider.resize(44, 224);
        slider.show();
    }
    vx::test::WithApp app_;
    DjSlider slider{Qt::Vertical};
};

TEST_F(DjSliderTest, VerticalSliderGrowsDownwards) {
    slider.setValue(0);
    const QRect atMin = slider.capRect();
    slider.setValue(100);
    const QRect atMax = slider.capRect();
    EXPECT_LT(atMin.center().y(), atMax.center().y());
    EXPECT_EQ(slider.valueAtPoint(QPoint(22, 0)), 0);
    EXPECT_EQ(slider.valueAtPoint(QPoint(22, 223)), 100);
}

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

TEST_F(DjSliderTest, ClickingTheGrooveJumpsThere) {
    slider.setValue(0);
    QSignalSpy settled(&slider, &DjSlider::valueSettled);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(22, 223));
    EXPECT_EQ(slider.value(), 100);
    EXPECT_EQ(settled.count(), 1);
}

TEST_F(DjSliderTest, ArrowKeysMoveTheCapTheWayTheyPoint) {
    slider.setValue(50);
    QSignalSpy settled(&slider, &DjSlider::valueSettled);
    QTest::keyClick(&slider, Qt::Key_Up);
    EXPECT_EQ(slider.value(), 49);
    QTest::keyClick(&slider, Qt::Key_Down);
    QTest::keyClick(&slider, Qt::Key_Down);
    EXPECT_EQ(slider.value(), 51);
    QTest::keyClick(&slider, Qt::Key_PageDown);
    EXPECT_EQ(slider.value(), 61);
    QTest::keyClick(&slider, Qt::Key_PageUp);
    QTest::keyClick(&slider, Qt::Key_PageUp);
    EXPECT_EQ(slider.value(), 41);
    QTest::keyClick(&slider, Qt::Key_End);
    EXPECT_EQ(slider.value(), 100);
    QTest::keyClick(&slider, Qt::Key_Down);  // at the end: nothing moves, nothing settles
    EXPECT_EQ(settled.count(), 7);
}

TEST_F(DjSliderTest, HorizontalSliderGrowsRight) {
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

TEST_F(DjSliderTest, EveryMouseButtonIsReportedButOnlyTheLeftOneDrags) {
    slider.setValue(0);
    QSignalSpy pressed(&slider, &DjSlider::mousePressed);
    QTest::mouseClick(&slider, Qt::RightButton, {}, QPoint(22, 200));
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(slider.value(), 0);
}

TEST_F(DjSliderTest, SettingTheValueFromTheProgramIsNotAUserSettle) {
    QSignalSpy settled(&slider, &DjSlider::valueSettled);
    QSignalSpy changed(&slider, &DjSlider::valueChanged);
    slider.setValue(70);
    EXPECT_EQ(settled.count(), 0);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(DjSliderTest, CapPositionShowsInThePicture) {
    slider.setValue(0);
    const QPoint nearTop = slider.capRect().center() + QPoint(0, 4);
    const QImage top = vx::test::render(slider);
    slider.setValue(100);
    const QImage bottom = vx::test::render(slider);
    EXPECT_NE(top.pixel(nearTop), bottom.pixel(nearTop));
}

}  // namespace
