#pragma once

#include <atomic>
#include <cstdint>

namespace vx::audio {

// What an output has seen of its own timing since it was opened.
struct OutputHealth {
    std::uint64_t callbacks = 0;      // blocks the device asked for
    std::uint64_t frames = 0;         // frames in those blocks
    std::uint64_t underruns = 0;      // blocks the device flagged: it had run dry before them
    std::uint64_t lateCallbacks = 0;  // blocks asked for well after their time
    std::uint64_t dropouts = 0;       // blocks that were either: each one a break in the sound
    std::int64_t longestGapNs = 0;    // longest time between the starts of two blocks
    double latencySeconds = 0;        // the device's own account of its output latency
};

// Counts an output's dropouts from inside its callback. record() is the audio thread's: it reads the
// monotonic clock (no lock, no allocation) and updates atomics. arm() and read() are any other
// thread's; read() is not one consistent snapshot, each counter is exact on its own.
class OutputHealthMeter {
  public:
    // Before the stream (re)starts: a block is late when it comes more than `lateAfterSeconds` after
    // the one before; the first block after arming has none before it.
    void arm(double lateAfterSeconds);
    // Audio thread: a block of `frames` frames starts; `underflow` is the device's own flag for it.
    void record(unsigned long frames, bool underflow);
    OutputHealth read() const;

  private:
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
    std::atomic<std::int64_t> lateAfterNs_{0};
    std::atomic<std::int64_t> lastNs_{0};  // 0: no block since arming
    std::atomic<std::uint64_t> callbacks_{0}, frames_{0}, underruns_{0}, late_{0}, dropouts_{0};
    std::atomic<std::int64_t> longestGapNs_{0};
};

// How long after the one before a block must come to count as late: three blocks' time, and never
// less than the device's own buffer (a host that serves several blocks per period calls them back
// to back and then waits a whole period).
double lateAfterSeconds(int blockFrames, int rate, double deviceLatencySeconds);

}  // namespace vx::audio
