#pragma once

#include <cstddef>
#include <cstdint>

namespace vx::audio {

// Process-wide store of sample chunks (TrackBuffer::kChunkFrames stereo frames each). Memory a
// track gave back is handed to the next track instead of being returned to the system: in a
// virtual machine the first write to fresh memory costs far more than decoding into it.
// Decoder threads and the UI thread only (it locks); never the audio thread.
inline constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
inline constexpr std::size_t kPooledChunksMax = 128;  // at most 128 MiB kept for reuse

std::int16_t* acquireChunk();  // null when memory is exhausted
void releaseChunk(std::int16_t* chunk);
std::size_t pooledChunks();

}  // namespace vx::audio
