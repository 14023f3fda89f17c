// The decoded-sound store: frames read back exactly, across chunk borders and after its chunk
// table has outgrown a low length estimate (while a reader still holds the old table).
#include "audio/track_buffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>


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
