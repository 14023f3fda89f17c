#include "mixer/mix_maths.h"

#include <gtest/gtest.h>

using namespace vx::mixer;

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(-87.5), -88);
    EXPECT_EQ(roundHalfEven(-86.5), -86);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(roundHalfEven(-0.4), 0);
}

TEST(OutputLevels, CentreGivesEachDeckItsLevelTimesMain) {
    // Both deck sliders half way down, main volume 70.
    EXPECT_EQ(outputLevels({100, 50, 70, 50, 50}), (OutputLevels{35, 35}));
    EXPECT_EQ(outputLevels({100, 50, 100, 80, 20}), (OutputLevels{80, 20}));
}

TEST(OutputLevels, EachEndSilencesTheFarDeck) {
    EXPECT_EQ(outputLevels({100, 0, 100, 90, 90}), (OutputLevels{90, 0}));
    EXPECT_EQ(outputLevels({100, 100, 100, 90, 90}), (OutputLevels{0, 90}));
    // Half way to either end halves the far deck only.
    EXPECT_EQ(outputLevels({100, 25, 100, 80, 80}), (OutputLevels{80, 40}));
    EXPECT_EQ(outputLevels({100, 75, 100, 80, 80}), (OutputLevels{40, 80}));
}

TEST(OutputLevels, MainVolumeZeroSilencesEverything) {
    for (int x : {0, 25, 50, 75, 100}) {
        EXPECT_EQ(outputLevels({100, x, 0, 100, 100}), (OutputLevels{0, 0})) << "crossfader " << x;
    }
}

TEST(OutputLevels, RoundsHalvesToEven) {
    EXPECT_EQ(outputLevels({100, 50, 50, 5, 7}), (OutputLevels{2, 4}));  // 2.5 and 3.5
    EXPECT_EQ(outputLevels({100, 25, 100, 0, 5}).right, 2);              // 0.5 x 5 = 2.5
    EXPECT_EQ(outputLevels({100, 75, 100, 7, 0}).left, 4);               // 0.5 x 7 = 3.5
    EXPECT_EQ(outputLevels({100, 50, 50, 1, 3}), (OutputLevels{0, 2}));  // 0.5 and 1.5
}

TEST(ChannelBalance, LouderChannelGivesVolumeQuieterGivesPan) {
    EXPECT_EQ(channelBalance(35, 35), (Balance{35, 0}));
    EXPECT_EQ(channelBalance(0, 0), (Balance{0, 0}));
    EXPECT_EQ(channelBalance(0, 35), (Balance{35, 100}));
    EXPECT_EQ(channelBalance(35, 0), (Balance{35, -100}));
    EXPECT_EQ(channelBalance(70, 35), (Balance{70, -50}));
    EXPECT_EQ(channelBalance(20, 35), (Balance{35, 43}));  // 100 - 57.14
}

TEST(ChannelBalance, PanRoundsHalvesToEven) {
    EXPECT_EQ(channelBalance(8, 1), (Balance{8, -88}));  // -87.5
    EXPECT_EQ(channelBalance(1, 8), (Balance{8, 88}));   // 87.5
    EXPECT_EQ(channelBalance(3, 8), (Balance{8, 62}));   // 62.5
    EXPECT_EQ(channelBalance(8, 3), (Balance{8, -62}));  // -62.5
}

TEST(MonitorSplit, StereoCentresBothDecks) {
    const StreamSplit s = monitorSplit(kMonitorStereo, {30, 60}, 80);
    EXPECT_EQ(s.leftDeck, (ChannelLevels{30, 30}));
    EXPECT_EQ(s.rightDeck, (ChannelLevels{60, 60}));
    // Any mode that is not 1 or 2 is stereo.
    EXPECT_EQ(monitorSplit(0, {30, 60}, 80).leftDeck, (ChannelLevels{30, 30}));
}

TEST(MonitorSplit, MonitoredDeckGoesLeftAtHeadphoneLevelOtherStaysRight) {
    StreamSplit s = monitorSplit(kMonitorLeft, {30, 60}, 80);
    EXPECT_EQ(s.leftDeck, (ChannelLevels{80, 30}));
    EXPECT_EQ(s.rightDeck, (ChannelLevels{0, 60}));
    s = monitorSplit(kMonitorRight, {30, 60}, 80);
    EXPECT_EQ(s.leftDeck, (ChannelLevels{0, 30}));
    EXPECT_EQ(s.rightDeck, (ChannelLevels{80, 60}));
    // Headphones at 0: the monitored deck keeps its mix level on the right channel only.
    s = monitorSplit(kMonitorLeft, {30, 60}, 0);
    EXPECT_EQ(channelBalance(s.leftDeck.left, s.leftDeck.right), (Balance{30, 100}));
}

TEST(SliderDirection, DownwardSlidersAreLoudestAtTheTop) {
    EXPECT_EQ(levelFromDownwardSlider(0, 100), 100);
    EXPECT_EQ(levelFromDownwardSlider(100, 100), 0);
    EXPECT_EQ(downwardSliderFromLevel(levelFromDownwardSlider(37, 100), 100), 37);
}
