#pragma once

#include <algorithm>

namespace vx {

// Loudness matching: the gain (dB) that brings a song measured at `lufs` (EBU R128 integrated) to
// kTargetLufs, lowered where it would lift the song's true peak above kPeakCeilingDbtp. A song too quiet
// to measure (silence reads -70 LUFS or below) is left as it is, and no song is moved by more than
// kMaxTrimDb either way: a measurement that far off is not trusted.
inline constexpr double kTargetLufs = -14.0;
inline constexpr double kPeakCeilingDbtp = -1.0;
inline constexpr double kMaxTrimDb = 20.0;

inline double loudnessTrimDb(double lufs, double truePeakDbtp) {
    if (lufs <= -70.0) return 0.0;
    const double gain = std::min(kTargetLufs - lufs, kPeakCeilingDbtp - truePeakDbtp);
    return std::clamp(gain, -kMaxTrimDb, kMaxTrimDb);
}

}  // namespace vx
