#include "audio/clock_bridge.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/drift_interpolator.h"

namespace vx::audio {

namespace {

// The controller, a PI loop on the delay, critically damped. It locks on fast: natural frequency 2 rad/s,
// so two clocks 0.2 % apart pull the delay off by v / (omega * e) = 0.4 ms while the integral learns
// their ratio. After kLockSeconds it steers forty times more gently, the delay low-passed over four
// seconds, so that the callbacks' timing jitter no longer wobbles the pitch; the learned ratio carries on.
constexpr double kFastOmega = 2.0, kFastFilterSeconds = 0.1;
constexpr double kSlowOmega = 0.05, kSlowFilterSeconds = 4.0;
constexpr double kLockSeconds = 8.0;
constexpr double kDamping = 1.0;
// No two sound cards differ by this much; beyond it the ratio is held.
constexpr double kMaxDeviation = 0.01;

}  // namespace

ClockBridge::ClockBridge(int rate, int producerBlock, int consumerBlock)
    : rate_(rate),
      producerBlock_(producerBlock),
      target_(producerBlock + consumerBlock + 2 * drift::kHalfTaps + rate / 200),
      resyncFrames_(target_),
      ring_(static_cast<std::size_t>(std::max(4096, 4 * (target_ + producerBlock)))),
      local_(2 * static_cast<std::size_t>(2 * consumerBlock + 2 * drift::kHalfTaps + 8)) {}

void ClockBridge::push(const float* stereo, int frames, double seconds) {
    ring_.push(stereo, static_cast<std::size_t>(frames));
    pushed_ = static_cast<std::int64_t>(ring_.framesOffered() - ring_.framesDropped());
    const std::uint32_t seq = stampSeq_.load(std::memory_order_relaxed);
    stampSeq_.store(seq + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    stampFrames_.store(pushed_, std::memory_order_relaxed);
    stampSeconds_.store(seconds, std::memory_order_relaxed);
    stampSeq_.store(seq + 2, std::memory_order_release);
}

// A stamp torn by a push in progress is read again; should the producer be pre-empted mid-write, the
// last whole stamp serves (at worst one block old, which the filter smooths away).
ClockBridge::Stamp ClockBridge::readStamp() {
    for (int tries = 0; tries < 4; ++tries) {
        const std::uint32_t seq = stampSeq_.load(std::memory_order_acquire);
        if (seq & 1u) continue;
        const Stamp s{stampFrames_.load(std::memory_order_relaxed), stampSeconds_.load(std::memory_order_relaxed)};
        std::atomic_thread_fence(std::memory_order_acquire);
        if (stampSeq_.load(std::memory_order_relaxed) == seq) {
            lastStamp_ = s;
            break;
        }
    }
    return lastStamp_;
}

void ClockBridge::restart(float* out, int frames) {
    locked_ = false;
    std::fill_n(out, 2 * static_cast<std::size_t>(frames), 0.0f);
}

void ClockBridge::pull(float* out, int frames, double seconds) {
    const Stamp stamp = readStamp();
    // The frames the producer's clock has made by now: its last push, and the time since.
    const double made =
        static_cast<double>(stamp.frames) + std::clamp((seconds - stamp.seconds) * rate_, 0.0, 1.0 * producerBlock_);
    const double dt = static_cast<double>(frames) / rate_;
    if (!locked_) {
        // (Re)start at the target delay, never going back over sound already played.
        const double start = std::max({pos_, made - target_, 1.0 * drift::kHalfTaps});
        if (made - start < target_) return restart(out, frames);
        pos_ = start;
        filtered_ = 0;
        lockedFor_ = 0;
        locked_ = true;
    }
    const double error = made - pos_ - target_;
    if (error > resyncFrames_) {  // the consumer stalled, or the producer raced ahead: start anew
        glitches_.fetch_add(1, std::memory_order_relaxed);
        return restart(out, frames);
    }
    const bool settling = lockedFor_ < kLockSeconds;
    lockedFor_ += dt;
    const double omega = settling ? kFastOmega : kSlowOmega;
    filtered_ += (error - filtered_) * std::min(1.0, dt / (settling ? kFastFilterSeconds : kSlowFilterSeconds));
    integral_ = std::clamp(integral_ + omega * omega / rate_ * filtered_ * dt, -kMaxDeviation, kMaxDeviation);
    ratio_ = 1.0 + std::clamp(2 * kDamping * omega / rate_ * filtered_ + integral_, -kMaxDeviation, kMaxDeviation);

    const auto first = static_cast<std::int64_t>(std::floor(pos_)) - drift::kHalfTaps + 1;
    const auto last = static_cast<std::int64_t>(std::floor(pos_ + ratio_ * (frames - 1))) + drift::kHalfTaps;
    if (last >= stamp.frames || !gather(first, last)) {  // ran dry
        glitches_.fetch_add(1, std::memory_order_relaxed);
        return restart(out, frames);
    }
    for (int k = 0; k < frames; ++k, pos_ += ratio_) {
        drift::frameAt(local_.data(), pos_ - static_cast<double>(localBase_), &out[2 * k], &out[2 * k + 1]);
    }
}

// Frames up to `first` leave the local window, read out of the ring where they never entered it.
void ClockBridge::discardTo(std::int64_t first) {
    const std::int64_t held = localBase_ + localLen_;
    if (first <= held) {
        const auto drop = static_cast<int>(first - localBase_);
        std::memmove(local_.data(), local_.data() + 2 * drop, sizeof(float) * 2 * (localLen_ - drop));
        localLen_ -= drop;
    } else {
        for (std::int64_t skip = first - held; skip > 0;) {
            const float* data = nullptr;
            const auto n = static_cast<std::int64_t>(ring_.readable(&data));
            if (n == 0) break;
            const std::int64_t take = std::min(n, skip);
            ring_.consume(static_cast<std::size_t>(take));
            skip -= take;
        }
        localLen_ = 0;
    }
    localBase_ = first;
}

// Makes frames [first, last] readable in local_; false when the ring does not hold them yet.
bool ClockBridge::gather(std::int64_t first, std::int64_t last) {
    if (first < localBase_) return false;  // cannot happen: the read position only moves on
    if (first > localBase_) discardTo(first);
    const auto capacity = static_cast<std::int64_t>(local_.size() / 2);
    if (last - localBase_ >= capacity) return false;
    while (localBase_ + localLen_ <= last) {
        const float* data = nullptr;
        const auto n = static_cast<std::int64_t>(ring_.readable(&data));
        if (n == 0) return false;
        const auto take = static_cast<int>(std::min(n, last + 1 - (localBase_ + localLen_)));
        std::copy_n(data, 2 * take, local_.data() + 2 * localLen_);
        ring_.consume(static_cast<std::size_t>(take));
        localLen_ += take;
    }
    return true;
}

}  // namespace vx::audio
