#include "deck/pitch_maths.h"

#include <gtest/gtest.h>

using namespace vx::deckmath;

// Frequencies and progress round halves to even; the pitch text rounds decimal halves up as a person
// reads them.
TEST(PitchMaths, FrequencyTextAndProgress) {
    const struct {
        int slider;
        int base;
        double range;
        int frequency;
        const char* text;
    } rows[] = {
        {1000, 44100, 1.0, 44100, " 0.00% "},    {0, 44100, 1.0, 39690, " - 10.00%"},
        {2000, 44100, 2.0, 52920, " + 20.00%"},  {2000, 22050, 1.5, 25358, " + 15.00%"},  // 25357.5
        {1001, 22050, 1.0, 22052, " + 0.01%"},   {2100, 44100, 1.0, 48951, " + 11.00%"},  // a bend
        {999, 44100, 1.5, 44093, " - 0.02%"},    {1003, 44100, 1.5, 44120, " + 0.05%"},   // 0.015, 0.045
        {1333, 44100, 1.5, 46303, " + 5.00%"},   {1010, 44100, 1.0, 44144, " + 0.10%"},   // 4.995
    };
    for (const auto& r : rows) {
        EXPECT_EQ(pitchFrequency(r.slider, r.base, r.range), r.frequency) << r.slider << " " << r.range;
        EXPECT_EQ(pitchText(r.slider, r.range), r.text) << r.slider << " " << r.range;
    }
    for (const auto& [x, n] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.49999, 0}})
        EXPECT_EQ(roundHalfEven(x), n) << x;
    EXPECT_EQ(formatPercent(0.004), "0.00");
    const struct {
        std::int64_t position, length;
        int progress;
    } progress[] = {{50, 100, 50}, {5, 1000, 0}, {15, 1000, 2}, {2000, 1000, 100}, {10, 0, 0}};
    for (const auto& p : progress) EXPECT_EQ(progressOf(p.position, p.length), p.progress) << p.position;
    EXPECT_EQ(positionOfProgress(50, 1764000), 882000);
    EXPECT_EQ(positionOfProgress(100, 1764001), 1764001);
}
