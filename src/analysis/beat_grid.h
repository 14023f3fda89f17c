#pragma once

#include <vector>

namespace vx::analysis {

struct BeatGrid {
    double bpm = 0;         // rounded to one decimal; 0: no steady beat
    double offsetS = 0;     // the first beat in [0, 60 / bpm)
    double confidence = 0;  // 0..1
};

// Finds a constant tempo and its phase in an onset envelope (`rate` values a second, each the rise in
// sound energy at that moment). The tempo comes from the envelope's autocorrelation, weighted towards
// dance tempi (70..180 BPM); it is then refined by following how the beat phase drifts through the track
// segment by segment, so that a long track pins it to a small fraction of a BPM. The phase is the peak of
// the whole envelope folded (comb-filtered) at the final, rounded tempo. `startS`: the moment onsets[0]
// stands for (the envelope's own delay taken off).
BeatGrid findBeatGrid(const std::vector<float>& onsets, double rate, double startS);

}  // namespace vx::analysis
