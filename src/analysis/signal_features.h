#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "analysis/track_analysis.h"

namespace vx::analysis {

// One pass over a track's sound (float stereo at one fixed rate, fed in order) that gathers everything
// the analysis measures: the banded waveform summary, the onset envelope the beat grid is found in, and
// the EBU R128 loudness and true peak.
class SignalFeatures {
  public:
    static constexpr int kOnsetsPerSecond = 300;

    explicit SignalFeatures(int rate);  // rate: a multiple of 300 (44100, 48000)
    ~SignalFeatures();
    SignalFeatures(const SignalFeatures&) = delete;
    SignalFeatures& operator=(const SignalFeatures&) = delete;

    void feed(const float* stereo, std::size_t frames);
    // Fills the waveform, the beat grid and the loudness of `out`.
    void finish(TrackAnalysis& out);

  private:
    struct Biquad {
        float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0, z1 = 0, z2 = 0;
        float run(float x) {
            const float y = b0 * x + z1;
            z1 = b1 * x - a1 * y + z2;
            z2 = b2 * x - a2 * y;
            return y;
        }
    };
    void endPoint();
    void endHop();

    int rate_;
    int pointFrames_, hopFrames_;
    struct Loudness;
    std::unique_ptr<Loudness> loudness_;
    Biquad low_, high_;
    WaveformSummary waveform_;
    int pointFill_ = 0, hopFill_ = 0;
    std::array<float, WaveformSummary::kBands> pointPeak_{}, pointSquares_{}, hopSquares_{};
    // The last three hops' energy and the last three windows' log energy, per band.
    std::array<std::array<float, 3>, WaveformSummary::kBands> hopHistory_{}, logHistory_{};
    std::size_t hops_ = 0;
    std::vector<float> onsets_;
};

}  // namespace vx::analysis
