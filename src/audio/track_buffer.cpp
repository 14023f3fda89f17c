#include "audio/track_buffer.h"

#include <algorithm>
#include <cstring>

namespace vx::audio {

TrackBuffer::TrackBuffer(std::int64_t estimatedFrames) {
    const std::int64_t estimate = std::max<std::int64_t>(estimatedFrames, 0);
    tableSize_ = estimate / kChunkFrames * 5 / 4 + 8;  // 25 % headroom for a low estimate
    tables_.emplace_back(new std::int16_t*[tableSize_]());
    table_.store(tables_.back().get(), std::memory_order_release);
    chunks_.reserve(tableSize_);
}

void TrackBuffer::growTable() {
    const std::int64_t bigger = tableSize_ * 2;
    std::unique_ptr<std::int16_t*[]> table(new std::int16_t*[bigger]());
    std::copy_n(tables_.back().get(), tableSize_, table.get());
    tables_.push_back(std::move(table));
    tableSize_ = bigger;
    table_.store(tables_.back().get(), std::memory_order_release);
}

void TrackBuffer::append(const std::int16_t* stereo, std::int64_t frames) {
    std::int64_t written = available_.load(std::memory_order_relaxed);
    while (frames > 0) {
        const std::int64_t chunk = written >> kChunkShift;
        if (chunk >= static_cast<std::int64_t>(chunks_.size())) {
            if (chunk >= tableSize_) growTable();
            // Left uninitialised on purpose: pages become resident only as they are filled.
            chunks_.emplace_back(new std::int16_t[kChunkFrames * 2]);
            tables_.back()[chunk] = chunks_.back().get();
            chunksHeld_.store(static_cast<std::int64_t>(chunks_.size()), std::memory_order_relaxed);
        }
        const std::int64_t offset = written & kChunkMask;
        const std::int64_t n = std::min(frames, kChunkFrames - offset);
        std::memcpy(chunks_[chunk].get() + 2 * offset, stereo, static_cast<std::size_t>(n) * 4);
        stereo += 2 * n;
        frames -= n;
        written += n;
    }
    available_.store(written, std::memory_order_release);
}

}  // namespace vx::audio
