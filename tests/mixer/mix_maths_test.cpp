#include "mixer/mix_maths.h"

#include <gtest/gtest.h>

using namespace vx::mixer;

// Every level the mixer computes rounds halves to the even neighbour: 2.5 -> 2, 3.5 -> 4, -87.5 -> -88.
TEST(MixMaths, OutputLevelsFollowTheCrossfaderAndMainVolumeAndRoundHalvesToEven) {
    for (const auto& [x, expected] : {std::pair{2.5, 2}, {3.5, 4}, {0.5, 0}, {-87.5, -88}, {-86.5, -86},
                                      {2.4999, 2}, {2.5001, 3}, {-0.4, 0}})
        EXPECT_EQ(roundHalfEven(x), expected) << x;
    struct Row {
        MixInputs in;
        OutputLevels out;
    };
    const Row rows[] = {
        {{100, 50, 70, 50, 50}, {35, 35}},   // centre: each deck's level times main
        {{100, 50, 100, 80, 20}, {80, 20}},
        {{100, 0, 100, 90, 90}, {90, 0}},    // each end silences the far deck
        {{100, 100, 100, 90, 90}, {0, 90}},
        {{100, 25, 100, 80, 80}, {80, 40}},  // half way to an end halves the far deck only
        {{100, 75, 100, 80, 80}, {40, 80}},
        {{100, 0, 0, 100, 100}, {0, 0}},     // main volume 0 silences everything
        {{100, 50, 0, 100, 100}, {0, 0}},
        {{100, 100, 0, 100, 100}, {0, 0}},
        {{100, 50, 50, 5, 7}, {2, 4}},       // 2.5 and 3.5
        {{100, 25, 100, 0, 5}, {0, 2}},      // 0.5 x 5
        {{100, 75, 100, 7, 0}, {4, 0}},      // 0.5 x 7
        {{100, 50, 50, 1, 3}, {0, 2}},       // 0.5 and 1.5
    };
    for (const Row& r : rows)
        EXPECT_EQ(outputLevels(r.in), r.out) << "crossfader " << r.in.crossfader << " main " << r.in.mainVolume
                                             << " levels " << r.in.leftLevel << "/" << r.in.rightLevel;
}

// The louder channel gives the volume, the quieter one the pan towards the louder side.
TEST(MixMaths, ChannelBalance) {
    struct Row {
        int left, right;
        Balance b;
    };
    const Row rows[] = {{35, 35, {35, 0}},   {0, 0, {0, 0}},     {0, 35, {35, 100}}, {35, 0, {35, -100}},
                        {70, 35, {70, -50}}, {20, 35, {35, 43}},  // 100 - 57.14
                        {8, 1, {8, -88}},    {1, 8, {8, 88}},     {3, 8, {8, 62}},    {8, 3, {8, -62}}};
    for (const Row& r : rows) EXPECT_EQ(channelBalance(r.left, r.right), r.b) << r.left << "/" << r.right;
}

// Which deck goes where in each monitor mode is heard through the engine; here, headphones at 0 leave the
// monitored deck at its mix level on the right channel only.
TEST(MixMaths, MonitorSplitWithSilentHeadphones) {
    const StreamSplit s = monitorSplit(kMonitorLeft, {30, 60}, 0);
    EXPECT_EQ(channelBalance(s.leftDeck.left, s.leftDeck.right), (Balance{30, 100}));
}
