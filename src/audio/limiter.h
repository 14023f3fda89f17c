#pragma once

#include <cstdint>
#include <vector>

namespace vx::audio {

// The output's look-ahead peak limiter. Every frame leaves `latency()` frames late; a sample whose
// magnitude would pass the threshold is turned down beforehand, so the output stays within
// [-threshold, threshold] with no overshoot, and a signal that never passes it comes out bit-identical.
//
// Each channel has its own gain. The headphone split sends two different programs down the two
// channels (the monitored deck on one, the mix on the other): a peak in one must neither duck nor pump
// the other. In stereo a one-sided over leans the image briefly while its side recovers, which is far
// less harmful than the cue in the headphones pumping with the mix's kick.
//
// Gain for one channel: the required gain r[n] = min(1, threshold / |x[n]|); m[n] the minimum of r over
// the last latency()+1 frames; the attack gain a[n] the mean of the last latency()+1 values of m. Every
// m in that mean already includes r[n - latency()], so a[n] never exceeds the need of the frame it is
// applied to, and it moves by at most (1 - r) / (latency() + 1) a frame. The gain follows a at once
// downwards and recovers towards it exponentially, never above it.
//
// All memory is taken by the constructor; process() never allocates, locks or blocks.
class Limiter {
  public:
    static constexpr float kThreshold = 0.89125094f;  // -1 dBFS
    static constexpr double kLookAheadSeconds = 0.001;
    static constexpr double kReleaseSeconds = 0.1;  // time constant of the recovery

    explicit Limiter(int rate);

    // Look-ahead in frames: every frame comes out this much later.
    int latency() const { return delay_; }

    // Audio thread. Pre: `frames` interleaved stereo frames in `io`. Post: they are replaced by the
    // limited signal `latency()` frames earlier (silence before the first input). Answers whether any
    // input sample of the block passed the threshold.
    bool process(float* io, int frames);

    // The gain of `channel` (0 left, 1 right) applied to the last frame that left: 1.0f exactly while
    // nothing needs turning down.
    float gain(int channel) const { return static_cast<float>(channels_[channel].gain); }

  private:
    struct Channel {
        // The running minimum of r: a ring of candidates, each smaller than the ones before it.
        std::vector<float> minValue;
        std::vector<std::int64_t> minFrame;
        int minHead = 0, minCount = 0;
        // The last latency()+1 values of m, with their shortfall from 1 summed.
        std::vector<float> history;
        double shortfall = 0.0;
        int below = 0;      // values of m under 1 in the history
        double gain = 1.0;  // double: a float recovery would stall in rounding just under 1

        float step(float magnitude, std::int64_t frame, int window, int slot, double release);
    };

    int delay_;
    int window_;  // latency() + 1
    double release_;
    std::int64_t frame_ = 0;
    int slot_ = 0;                  // position in the delay line and in every history ring
    std::vector<float> delayLine_;  // interleaved, window_ frames
    Channel channels_[2];
};

}  // namespace vx::audio
