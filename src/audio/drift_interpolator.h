#pragma once

namespace vx::audio::drift {

// Band-limited interpolation of float stereo at any fractional position, for reading a sound at very
// nearly its own rate (the clock of one sound card followed by another's). A Kaiser-windowed sinc of
// 2 * kHalfTaps taps: flat within 0.01 dB to 0.408 of the rate (18 kHz at 44.1 kHz); whatever it lets
// fold back lands above that, everything else is more than 100 dB down. The table is built during
// static initialisation; interpolating never allocates, locks or calls the system.
inline constexpr int kHalfTaps = 18;

// The frame at `pos` in `frames` (interleaved stereo, frame i at frames[2 * i]). Pre: the frames from
// floor(pos) - kHalfTaps + 1 to floor(pos) + kHalfTaps exist. A whole-frame position copies that frame.
void frameAt(const float* frames, double pos, float* left, float* right);

}  // namespace vx::audio::drift
