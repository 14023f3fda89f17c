#include "deck/pitch_maths.h"

#include <gtest/gtest.h>

using namespace vx::deckmath;

TEST(PitchMaths, FrequencyFollowsSliderRangeAndBase) {
    EXPECT_EQ(pitchFrequency(1000, 44100, 1.0), 44100);
    EXPECT_EQ(pitchFrequency(0, 44100, 1.0), 39690);     // 44100 x 0.9
    EXPECT_EQ(pitchFrequency(2000, 44100, 2.0), 52920);  // 44100 x 1.2
    EXPECT_EQ(pitchFrequency(2000, 22050, 1.5), 25358);  // 25357.5 rounds to even
    EXPECT_EQ(pitchFrequency(1001, 22050, 1.0), 22052);  // 22052.205
    EXPECT_EQ(pitchFrequency(2100, 44100, 1.0), 48951);  // a bend past the slider's end
}

TEST(PitchMaths, HalvesRoundToEven) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(0.49999), 0);
}

TEST(PitchMaths, PitchTextHasSignTwoDecimalsAndRoundsDecimalHalvesUp) {
    EXPECT_EQ(pitchText(1000, 1.0), " 0.00% ");
    EXPECT_EQ(pitchText(0, 1.0), " - 10.00%");
    EXPECT_EQ(pitchText(2000, 2.0), " + 20.00%");
    EXPECT_EQ(pitchText(1010, 1.0), " + 0.10%");
    EXPECT_EQ(pitchText(999, 1.5), " - 0.02%");   // 0.015 as a person reads it
    EXPECT_EQ(pitchText(1003, 1.5), " + 0.05%");  // 0.045
    EXPECT_EQ(pitchText(1333, 1.5), " + 5.00%");  // 4.995
    EXPECT_EQ(pitchText(1001, 1.0), " + 0.01%");
    EXPECT_EQ(formatPercent(0.004), "0.00");
}

TEST(PitchMaths, ProgressAndSeekPositions) {
    EXPECT_EQ(progressOf(50, 100), 50);
    EXPECT_EQ(progressOf(5, 1000), 0);       // 0.5 rounds to even
    EXPECT_EQ(progressOf(15, 1000), 2);      // 1.5
    EXPECT_EQ(progressOf(2000, 1000), 100);  // a position past an estimated length
    EXPECT_EQ(progressOf(10, 0), 0);
    EXPECT_EQ(positionOfProgress(50, 1764000), 882000);
    EXPECT_EQ(positionOfProgress(100, 1764001), 1764001);
}
