#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace vx::audio {

// The decoded sound of one track: interleaved 16-bit stereo frames at the file's own rate, kept in
// fixed-size chunks so that growing it never moves what a reader may be looking at.
//
// One writer (the decoder thread) appends; any number of readers (the audio thread, the UI thread)
// read frames below available(). Publication: the writer fills the frames, then stores the new count
// with release; a reader loads the count with acquire before it touches any frame. The chunk table is
// sized from the estimated length with headroom; when a longer file outgrows it the writer publishes
// a bigger copy and keeps the old table alive until the buffer dies, so a reader holding the old one
// still reads valid pointers.
class TrackBuffer {
  public:
    static constexpr int kChunkShift = 18;  // 1 MiB chunks
    static constexpr std::int64_t kChunkFrames = std::int64_t{1} << kChunkShift;
    static constexpr std::int64_t kChunkMask = kChunkFrames - 1;

    explicit TrackBuffer(std::int64_t estimatedFrames);
    ~TrackBuffer();
    TrackBuffer(const TrackBuffer&) = delete;
    TrackBuffer& operator=(const TrackBuffer&) = delete;

    // --- writer (decoder thread)
    // False when memory ran out (what fitted is kept).
    bool append(const std::int16_t* stereo, std::int64_t frames);
    void finish() { final_.store(true, std::memory_order_release); }
    // The decoder has shown it runs far ahead of real time (see Track::run).
    void markFast() { fast_.store(true, std::memory_order_release); }

    // --- readers (any thread)
    std::int64_t available() const { return available_.load(std::memory_order_acquire); }
    bool isFinal() const { return final_.load(std::memory_order_acquire); }
    bool decoderIsFast() const { return fast_.load(std::memory_order_acquire); }
    // Pre: index < a value of available() loaded before this call. Returns the frame's two samples;
    // the frames after it up to the end of its chunk follow contiguously.
    const std::int16_t* frame(std::int64_t index) const {
        std::int16_t* const* table = table_.load(std::memory_order_acquire);
        return table[index >> kChunkShift] + 2 * (index & kChunkMask);
    }
    // The chunk table, for a reader that walks many frames: entry n points at frames n * kChunkFrames
    // onwards. Pre: used only for frames below a value of available() loaded before this call.
    const std::int16_t* const* table() const { return table_.load(std::memory_order_acquire); }
    // Bytes of sample memory held (the PCM plus the unfilled tail of the last chunk).
    std::int64_t bytesHeld() const { return chunksHeld_.load(std::memory_order_relaxed) * kChunkFrames * 4; }

  private:
    void growTable();

    std::atomic<std::int16_t**> table_{nullptr};
    std::atomic<std::int64_t> available_{0};
    std::atomic<bool> final_{false};
    std::atomic<bool> fast_{false};
    std::atomic<std::int64_t> chunksHeld_{0};
    // Writer-only from here on.
    std::int64_t tableSize_ = 0;
    std::vector<std::unique_ptr<std::int16_t*[]>> tables_;  // every table ever published
    std::vector<std::int16_t*> chunks_;                     // mapped memory, unmapped by the destructor
};

}  // namespace vx::audio
