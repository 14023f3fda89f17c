// The decoded-sound store: frames read back exactly, across chunk borders and after its chunk
// table has outgrown a low length estimate (while a reader still holds the old table).
#include "audio/track_buffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/peaking_eq.h"

using vx::audio::TrackBuffer;

namespace {

std::int16_t sampleOf(std::int64_t frame, int channel) {
    return static_cast<std::int16_t>((frame * 7 + channel * 13) % 65521 - 32760);
}

void appendFrames(TrackBuffer& b, std::int64_t from, std::int64_t count) {
    std::vector<std::int16_t> pcm;
    for (std::int64_t f = from; f < from + count; ++f) {
        pcm.push_back(sampleOf(f, 0));
        pcm.push_back(sampleOf(f, 1));
    }
    ASSERT_TRUE(b.append(pcm.data(), count));
}

}  // namespace

TEST(TrackBuffer, KeepsEveryFrameWhenTheEstimateWasFarTooLow) {
    TrackBuffer b(1000);  // the header promised 1000 frames
    appendFrames(b, 0, 1000);
    const auto* oldTable = b.table();
    const std::int64_t total = TrackBuffer::kChunkFrames * 20 + 123;  // twenty chunks and a bit
    for (std::int64_t at = 1000; at < total; at += 4608)
        appendFrames(b, at, std::min<std::int64_t>(4608, total - at));
    b.finish();
    ASSERT_EQ(b.available(), total);
    EXPECT_TRUE(b.isFinal());
    for (std::int64_t f : {std::int64_t{0}, TrackBuffer::kChunkFrames - 1, TrackBuffer::kChunkFrames,
                           TrackBuffer::kChunkFrames * 9 + 5, total - 1}) {
        EXPECT_EQ(b.frame(f)[0], sampleOf(f, 0)) << f;
        EXPECT_EQ(b.frame(f)[1], sampleOf(f, 1)) << f;
    }
    // A reader that loaded the table before it grew still finds the frames it was allowed to read.
    EXPECT_EQ(oldTable[0][2 * 999], sampleOf(999, 0));
    EXPECT_GE(b.bytesHeld(), total * 4);
    EXPECT_LT(b.bytesHeld(), total * 4 + TrackBuffer::kChunkFrames * 4);
}

TEST(PeakingEq, GainAtTheCentreIsTheSetGainAndZeroIsTheIdentity) {
    using vx::audio::designPeaking;
    using vx::audio::responseDb;
    for (double gain : {-35.0, -10.0, 5.0, 15.0}) {
        for (double centre : {100.0, 1000.0, 10000.0}) {
            const auto q = designPeaking(44100, centre, 2.0, gain);
            EXPECT_NEAR(responseDb(q, centre, 44100), gain, 0.01) << centre;
            if (centre >= 1000) {
                EXPECT_NEAR(responseDb(q, 20, 44100), 0.0, 1.0);  // far below the band: flat
            }
        }
    }
    const auto flat = designPeaking(44100, 1000, 2.0, 0.0);
    EXPECT_EQ(flat.b0, 1.0f);
    EXPECT_EQ(flat.b1, 0.0f);
    const auto noWidth = designPeaking(44100, 1000, 0.0, 12.0);  // bandwidth 0 octaves: no band at all
    EXPECT_EQ(noWidth.b0, 1.0f);
    const auto aboveNyquist = designPeaking(22050, 15000, 1.0, 6.0);  // pulled below 11025 Hz, stays stable
    EXPECT_TRUE(std::isfinite(responseDb(aboveNyquist, 5000, 22050)));
}
