// Key lock: the speed moves the tempo and leaves the pitch, and the reported position is the one heard.

#include <cmath>

#include "audio/offline_engine.h"

using namespace vx;
using namespace vx::test;

TEST(KeyLock, TheToneKeepsItsPitchWhileTheTempoFollowsTheSpeed) {
    for (const double speed : {0.92, 1.0, 1.08}) {
        SCOPED_TRACE(speed);
        OfflineEngine e;
        const audio::Handle h = e.open("sine1k_44k.wav");  // 2 s of 1 kHz
        ASSERT_TRUE(e.engine.setKeyLock(h, true));
        e.engine.setAttributes(h, static_cast<int>(std::lround(44100 * speed)), audio::kKeepVolume,
                               audio::kKeepPan);
        e.engine.play(h);
        Stereo all = e.seconds(1.0);
        // The position is the frame heard: a second in, `speed` seconds of the song went by.
        EXPECT_NEAR(e.engine.position(h) / 4, 44100 * speed, 441) << "position off by more than 10 ms";
        const Stereo rest = e.seconds(1.5);
        all.insert(all.end(), rest.begin(), rest.end());
        const std::vector<float> left = channel(all, 0);
        std::size_t heard = left.size();  // the song's length: up to its last loud frame
        while (heard > 0 && std::fabs(left[heard - 1]) < 0.1f) --heard;
        const double hz = zeroCrossingHz(channel(all, 0, 4410, 44100), 44100);
        EXPECT_NEAR(hz, 1000.0, 5.0);
        EXPECT_NEAR(static_cast<double>(heard), 2 * 44100 / speed, 441) << "the song's length did not follow the speed";
        if (std::fabs(hz - 1000.0) > 5.0) writeWav(::testing::TempDir() + "key_lock_failed.wav", all, 44100);
    }
}
