#include <gtest/gtest.h>

#include "support/fake_sound_library.h"

// The fake stands in for the engine in model tests, so it has to keep the engine's contract.
TEST(FakeSoundLibrary, KeepsTheEngineContract) {
    vx::test::FakeSoundLibrary lib;
    lib.addFile("a.mp3");
    EXPECT_EQ(lib.createStream(vx::audio::Family::WindowsMedia, "a.mp3", 0), 0u);
    EXPECT_EQ(lib.lastError(), vx::audio::kErrFormat);
    const auto h = lib.createStream(vx::audio::Family::Plain, "a.mp3", 0);
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(lib.resume(h));
    EXPECT_TRUE(lib.play(h));
    EXPECT_TRUE(lib.pause(h));
    EXPECT_EQ(lib.activity(h), vx::audio::kPaused);
    EXPECT_TRUE(lib.setAttributes(h, vx::audio::kKeepFrequency, 40, vx::audio::kKeepPan));
    int f, v, p;
    lib.attributes(h, &f, &v, &p);
    EXPECT_EQ(f, 44100);
    EXPECT_EQ(v, 40);
    EXPECT_EQ(p, 0);
    EXPECT_EQ(lib.secondsToBytes(h, 1.0), 176400);
}
