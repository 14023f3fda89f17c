#pragma once

#include <string>

#include "support/signal.h"

namespace vx::test {

// A generated dance track with a known beat grid: a pitched-down kick on every beat, a hi-hat between
// them (straight or swung), a steady chord, optionally a tempo-free intro of random clicks and a swell,
// and white noise over everything.
struct BeatPattern {
    std::string name;
    double bpm = 120;
    double firstBeatS = 0;  // where the grid lies (beats before the intro's end are left out)
    bool swing = false;     // the hi-hat two thirds into the beat instead of half way
    double introS = 0;
    double noise = 0;       // amplitude of the white noise (the kick peaks near 0.8)
    double seconds = 60;
    double gain = 1;
    float hatLevel = 0.15f;  // the kick peaks near 0.8
};

Stereo makeBeat(const BeatPattern& p, int rate);

}  // namespace vx::test
