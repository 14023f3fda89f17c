#pragma once

#include <cstdint>

namespace vx::audio {

// The frames an interpolator reads: 16-bit interleaved stereo in chunks of 2^chunkShift frames (the
// layout of TrackBuffer), every frame below `available` readable. Frames outside [0, available) read
// as silence.
struct SincSource {
    const std::int16_t* const* chunks = nullptr;
    std::int64_t available = 0;
    int chunkShift = 0;
};

// Band-limited interpolation at any fractional position, for a read speed of `step` source frames per
// output frame: a Kaiser-windowed sinc read from tables built at start-up. The band kept is the lower
// of the source's and the output's: flat within 0.01 dB to 0.408 of that rate (18 kHz at 44.1 kHz).
// Whatever the kernel lets fold or image back lands above 0.408 of the output rate and everything
// else is at least 100 dB down. Above unit speed the kernel widens by `step`, up to kMaxStretch.
// The kernel holds no state: every frame is computed from the source alone, so a jump, a second read
// head or a loop wrap needs nothing from it.
// Exactly unit speed at a whole-frame position is an exact copy of the source frame.
//
// Real-time safe: no allocation, lock or system call; the table is built during static initialisation.
namespace sinc {

inline constexpr int kHalfTaps = 18;      // taps on either side of the position near unit speed
inline constexpr double kMaxStretch = 8;  // read speed beyond which the kernel stops widening

// Frames on either side of a position that an interpolation at read speed `step` reads.
int reach(double step);

// The frame at position `pos` (>= 0) heard at read speed `step` (>= 0), as floats in [-1, 1] (a band-
// limited signal may overshoot slightly).
void frameAt(const SincSource& src, double pos, double step, float* left, float* right);

}  // namespace sinc
}  // namespace vx::audio
