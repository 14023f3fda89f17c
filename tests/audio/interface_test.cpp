#include <gtest/gtest.h>

#include "audio/sound_library.h"

TEST(EqBandParams, IsTheTwentyByteBlock) {
    vx::audio::EqBandParams p;
    EXPECT_EQ(sizeof p, 20u);
}
