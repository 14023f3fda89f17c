#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx::audio {

// Single-producer single-consumer ring of interleaved stereo float frames, sized once at construction.
// push() never allocates, locks or waits, so the audio thread may call it: what does not fit is dropped
// and counted. The consumer reads in place with readable()/consume().
class FrameRing {
  public:
    explicit FrameRing(std::size_t minFrames) : capacity_(roundUp(minFrames)), samples_(2 * capacity_) {}

    // Producer thread only. Copies as many of `frames` frames as fit; the rest are counted as dropped.
    void push(const float* interleaved, std::size_t frames) {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        const std::size_t space = capacity_ - (head - tail_.load(std::memory_order_acquire));
        const std::size_t n = std::min(frames, space);
        const std::size_t at = head & (capacity_ - 1);
        const std::size_t first = std::min(n, capacity_ - at);
        std::copy_n(interleaved, 2 * first, samples_.data() + 2 * at);
        std::copy_n(interleaved + 2 * first, 2 * (n - first), samples_.data());
        head_.store(head + n, std::memory_order_release);
        if (n < frames) dropped_.fetch_add(frames - n, std::memory_order_relaxed);
    }

    // Consumer thread only: the longest run of frames readable in place (up to the wrap), and where.
    std::size_t readable(const float** data) const {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        const std::size_t filled = head_.load(std::memory_order_acquire) - tail;
        const std::size_t at = tail & (capacity_ - 1);
        *data = samples_.data() + 2 * at;
        return std::min(filled, capacity_ - at);
    }
    // Consumer thread only: `frames` frames of those readable() offered are done with.
    void consume(std::size_t frames) {
        tail_.store(tail_.load(std::memory_order_relaxed) + frames, std::memory_order_release);
    }

    // Any thread. Every frame offered to push() so far, kept or dropped: the position in the sound.
    std::uint64_t framesOffered() const {
        return head_.load(std::memory_order_acquire) + dropped_.load(std::memory_order_relaxed);
    }
    std::uint64_t framesDropped() const { return dropped_.load(std::memory_order_relaxed); }
    std::size_t capacity() const { return capacity_; }

  private:
    static std::size_t roundUp(std::size_t n) {
        std::size_t c = 1;
        while (c < n) c <<= 1;
        return c;
    }

    const std::size_t capacity_;  // frames, a power of two
    std::vector<float> samples_;
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
    alignas(64) std::atomic<std::uint64_t> dropped_{0};
};

}  // namespace vx::audio
