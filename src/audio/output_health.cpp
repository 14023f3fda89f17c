#include "audio/output_health.h"

#include "audio/output.h"

#include <time.h>

#include <algorithm>

namespace vx::audio {

namespace {
// The vDSO clock: no system call, lock or allocation on Linux.
std::int64_t monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}
}  // namespace

void OutputHealthMeter::arm(double lateAfterSeconds) {
    lateAfterNs_.store(static_cast<std::int64_t>(lateAfterSeconds * 1e9), std::memory_order_relaxed);
    lastNs_.store(0, std::memory_order_release);
}

void OutputHealthMeter::record(unsigned long frames, bool underflow) {
    constexpr auto relaxed = std::memory_order_relaxed;
    const std::int64_t now = monotonicNs();
    const std::int64_t last = lastNs_.exchange(now, std::memory_order_acq_rel);
    bool late = false;
    if (last != 0) {
        const std::int64_t gap = now - last;
        // Only this thread writes the longest gap: a plain compare and store is enough.
        if (gap > longestGapNs_.load(relaxed)) longestGapNs_.store(gap, relaxed);
        late = gap > lateAfterNs_.load(relaxed);
    }
    callbacks_.fetch_add(1, relaxed);
    frames_.fetch_add(frames, relaxed);
    if (underflow) underruns_.fetch_add(1, relaxed);
    if (late) late_.fetch_add(1, relaxed);
    if (underflow || late) dropouts_.fetch_add(1, relaxed);
}

OutputHealth OutputHealthMeter::read() const {
    constexpr auto relaxed = std::memory_order_relaxed;
    OutputHealth h;
    h.callbacks = callbacks_.load(relaxed);
    h.frames = frames_.load(relaxed);
    h.underruns = underruns_.load(relaxed);
    h.lateCallbacks = late_.load(relaxed);
    h.dropouts = dropouts_.load(relaxed);
    h.longestGapNs = longestGapNs_.load(relaxed);
    return h;
}

int deviceBlockFrames(double latencySeconds, int rate) {
    const double fits = latencySeconds * rate;
    int block = kDeviceBlockFrames;
    while (block > 64 && block > fits) block /= 2;
    return block;
}

double lateAfterSeconds(int blockFrames, int rate, double deviceLatencySeconds) {
    return std::max(3.0 * blockFrames / rate, deviceLatencySeconds);
}

}  // namespace vx::audio
