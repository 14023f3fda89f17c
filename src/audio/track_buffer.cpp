#include "audio/track_buffer.h"

#include <algorithm>
#include <cstring>

#include "audio/chunk_pool.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vx::audio {

static_assert(TrackBuffer::kChunkFrames * 4 == static_cast<std::int64_t>(kChunkBytes));

TrackBuffer::TrackBuffer(std::int64_t estimatedFrames) {
    // A damaged header may claim any length: the table is sized for at most a day at 48 kHz and
    // grows past that only if the sound really is longer.
    const std::int64_t estimate = std::clamp<std::int64_t>(estimatedFrames, 0, std::int64_t{48000} * 86400);
    tableSize_ = estimate / kChunkFrames * 5 / 4 + 8;  // 25 % headroom for a low estimate
    tables_.emplace_back(new std::int16_t*[tableSize_]());
    table_.store(tables_.back().get(), std::memory_order_release);
    chunks_.reserve(tableSize_);
}

namespace {

// Copies into memory no one reads soon: streaming stores skip reading the target lines into the cache.
void streamCopy(std::int16_t* dst, const std::int16_t* src, std::size_t bytes) {
#if defined(__SSE2__)
    auto* d = reinterpret_cast<char*>(dst);
    auto* s = reinterpret_cast<const char*>(src);
    while (bytes > 0 && (reinterpret_cast<std::uintptr_t>(d) & 15) != 0) {
        *d++ = *s++;
        --bytes;
    }
    for (; bytes >= 16; bytes -= 16, d += 16, s += 16) {
        _mm_stream_si128(reinterpret_cast<__m128i*>(d), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
    }
    std::memcpy(d, s, bytes);
    _mm_sfence();  // the frames are visible before their count is published
#else
    std::memcpy(dst, src, bytes);
#endif
}

}  // namespace

TrackBuffer::~TrackBuffer() {
    for (std::int16_t* chunk : chunks_) releaseChunk(chunk);
}

void TrackBuffer::growTable() {
    const std::int64_t bigger = tableSize_ * 2;
    std::unique_ptr<std::int16_t*[]> table(new std::int16_t*[bigger]());
    std::copy_n(tables_.back().get(), tableSize_, table.get());
    tables_.push_back(std::move(table));
    tableSize_ = bigger;
    table_.store(tables_.back().get(), std::memory_order_release);
}

bool TrackBuffer::append(const std::int16_t* stereo, std::int64_t frames) {
    std::int64_t written = available_.load(std::memory_order_relaxed);
    while (frames > 0) {
        const std::int64_t chunk = written >> kChunkShift;
        if (chunk >= static_cast<std::int64_t>(chunks_.size())) {
            if (chunk >= tableSize_) growTable();
            std::int16_t* memory = acquireChunk();
            if (!memory) {  // out of memory: the track ends with what it has
                available_.store(written, std::memory_order_release);
                return false;
            }
            chunks_.push_back(memory);
            tables_.back()[chunk] = memory;
            chunksHeld_.store(static_cast<std::int64_t>(chunks_.size()), std::memory_order_relaxed);
        }
        const std::int64_t offset = written & kChunkMask;
        const std::int64_t n = std::min(frames, kChunkFrames - offset);
        streamCopy(chunks_[chunk] + 2 * offset, stereo, static_cast<std::size_t>(n) * 4);
        stereo += 2 * n;
        frames -= n;
        written += n;
    }
    available_.store(written, std::memory_order_release);
    return true;
}

}  // namespace vx::audio
