#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "audio/frame_ring.h"

namespace vx::audio {

// Seconds on the steady clock: the time both sides of a ClockBridge stamp their blocks with.
inline double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Carries a stereo sound from one sound card's clock to another's: the producer's callback pushes what
// it renders, the consumer's callback pulls what its card plays. The two clocks never agree exactly, so
// the consumer reads at a ratio a little off one, steered by a PI controller that holds the sound
// buffered between them at a fixed delay (fast while it locks on, gently after); a band-limited
// interpolator reads at that ratio.
//
// The controller measures the delay at the instant of each pull, counting the frames the producer's
// clock has made since its last push from the push's time stamp; so the delay it sees moves smoothly
// rather than by whole blocks, and the ratio only follows the clocks' real drift.
//
// Both sides are real-time safe: all memory is taken by the constructor; push() and pull() never
// allocate, lock or wait.
class ClockBridge {
  public:
    // `rate` Hz on both sides (nominally); the most frames one push and one pull carry.
    ClockBridge(int rate, int producerBlock, int consumerBlock);

    // Frames held between the two clocks once locked: the headphones' delay behind the producer.
    int targetFrames() const { return target_; }

    // Producer thread: `frames` frames rendered at `seconds` (steadySeconds(), or a simulated clock).
    void push(const float* stereo, int frames, double seconds);

    // Consumer thread: `frames` (<= consumerBlock) frames for the card, at `seconds`. Silence until the
    // target delay is buffered; silence again, counted as a glitch, if the buffer runs dry or the delay
    // strays so far that it is set anew (the producer stopped, or the consumer stalled).
    void pull(float* out, int frames, double seconds);

    // Consumer thread (or any thread while neither side runs).
    double ratio() const { return ratio_; }
    // The producer frame (fractional) that the next pulled frame plays.
    double readPosition() const { return pos_; }
    bool locked() const { return locked_; }

    // Any thread.
    std::uint64_t glitches() const { return glitches_.load(std::memory_order_relaxed); }
    std::uint64_t framesDropped() const { return ring_.framesDropped(); }

  private:
    struct Stamp {
        std::int64_t frames;
        double seconds;
    };
    Stamp readStamp();
    void restart(float* out, int frames);
    bool gather(std::int64_t first, std::int64_t last);
    void discardTo(std::int64_t first);

    const int rate_;
    const int producerBlock_;
    const int target_;
    const int resyncFrames_;
    FrameRing ring_;

    // Producer's time stamp of its last push: a sequence lock over two values.
    std::atomic<std::uint32_t> stampSeq_{0};
    std::atomic<std::int64_t> stampFrames_{0};
    std::atomic<double> stampSeconds_{0};
    std::int64_t pushed_ = 0;  // producer thread

    // Consumer thread: frames [localBase_, localBase_ + localLen_) copied out of the ring.
    std::vector<float> local_;
    std::int64_t localBase_ = 0;
    int localLen_ = 0;
    Stamp lastStamp_{0, 0};
    double pos_ = 0;
    double ratio_ = 1;
    double filtered_ = 0;  // the delay's error, low-passed
    double integral_ = 0;
    double lockedFor_ = 0;  // seconds since the last lock
    bool locked_ = false;
    std::atomic<std::uint64_t> glitches_{0};
};

}  // namespace vx::audio
