#pragma once

#include <cstdint>

namespace vx::audio {

// How a deck's three bands shape the sound.
enum class EqMode : std::uint8_t {
    Peaking,   // three bells (a high shelf where the output rate leaves no room for the top bell)
    Isolator,  // the sound split at 250 Hz and 2.5 kHz; each band's gain scales its part, a kill removes it
};

// One band of the equaliser as the audio thread runs it: a trapezoidal state-variable filter whose gain
// and width can move while it plays without clicks. Designed on the UI thread (it needs tan and sinh);
// the audio thread only glides `a` and `invQ` and derives its coefficients from them.
struct EqBandDesign {
    enum Shape : std::uint8_t { Bell, HighShelf } shape = Bell;
    float g = 0;     // tan(pi * fc / rate): the corner, pre-warped
    float invQ = 1;  // 1 / Q
    float a = 1;     // 10^(gain / 40); 1 is exactly the identity
    float gainDb = 0;
};

// The peaking band at `centreHz` with the width in octaves between its half-gain points. Gain 0 dB or
// width 0 gives the identity. A top band that would sit above 0.3 of the rate (10 kHz at 22050 Hz)
// becomes a high shelf from its lower band edge, so that it still acts on the top and not on the mids.
// Pure; any thread.
EqBandDesign designBand(double sampleRate, double centreHz, double octaves, double gainDb);

// Magnitude response of a band in dB at `hz` (checks and tests).
double bandResponseDb(const EqBandDesign& d, double hz, double sampleRate);

// Crossover frequencies of the isolator.
inline constexpr double kIsolatorLowHz = 250.0;
inline constexpr double kIsolatorHighHz = 2500.0;
// A band set this low or lower is killed outright in isolator mode.
inline constexpr float kIsolatorKillDb = -35.0f;

}  // namespace vx::audio
