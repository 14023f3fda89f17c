#pragma once

#include <algorithm>
#include <cstdint>

namespace vx::audio {

// Finds where a track's sound is: the frames from its first to past its last sample louder than
// -60 dBFS, so that silence at the very start or end can be left out (the mix point, the analysis).
// Fed the decoded 16-bit stereo in order, block by block; cheap enough for a decoder thread.
class AudibleSpan {
  public:
    static constexpr int kSilencePeak = 32;  // -60 dBFS in 16-bit steps

    // `stereo` holds `frames` interleaved frames that follow those fed before.
    void feed(const std::int16_t* stereo, std::int64_t frames) {
        const auto loud = [](std::int16_t v) { return v > kSilencePeak || v < -kSilencePeak; };
        const std::int16_t* end = stereo + 2 * frames;
        const std::int16_t* firstLoud = std::find_if(stereo, end, loud);
        if (firstLoud != end) {
            if (first_ < 0) first_ = fed_ + (firstLoud - stereo) / 2;
            const std::int16_t* lastLoud = end - 1;
            while (!loud(*lastLoud)) --lastLoud;
            end_ = fed_ + (lastLoud - stereo) / 2 + 1;
        }
        fed_ += frames;
    }
    // The first audible frame (0 for a silent track) and the frame past the last one (0 when silent).
    std::int64_t first() const { return std::max<std::int64_t>(first_, 0); }
    std::int64_t end() const { return end_; }

  private:
    std::int64_t fed_ = 0;
    std::int64_t first_ = -1;
    std::int64_t end_ = 0;
};

}  // namespace vx::audio
