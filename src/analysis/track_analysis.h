#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vx::analysis {

// A track's sound at a glance: for each of three bands, the peak and the RMS of every hundredth of a
// second, as 0..255 of full scale (linear), so that a long track costs a few hundred kB and can be
// stored as it is.
struct WaveformSummary {
    static constexpr int kPointsPerSecond = 100;
    enum Band { Low, Mid, High, kBands };  // below 200 Hz, 200 Hz..4 kHz, above 4 kHz
    std::array<std::vector<std::uint8_t>, kBands> peak;
    std::array<std::vector<std::uint8_t>, kBands> rms;
    std::size_t points() const { return peak[Low].size(); }
};

// What the analysis finds in one track: plain values, for the library to store and the decks to show.
struct TrackAnalysis {
    WaveformSummary waveform;
    double lengthS = 0;
    // The beat grid: a constant tempo (one decimal; 0 when none was found) and its first beat at or after
    // the start of the track; every beat lies at beatOffsetS + k * 60 / bpm.
    double bpm = 0;
    double beatOffsetS = 0;
    double bpmConfidence = 0;  // 0..1: the share of the track whose beats follow the grid
    double lufs = 0;           // EBU R128 integrated loudness (-70 or below for silence)
    double truePeakDbtp = 0;
    // Where the sound is: leading and trailing stretches below -60 dBFS are left out.
    double audibleStartS = 0;
    double audibleEndS = 0;
};

}  // namespace vx::analysis
