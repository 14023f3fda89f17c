#pragma once

namespace vx::audio {

// Normalised biquad coefficients (a0 = 1): y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2.
struct Biquad {
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// The peaking band of the equaliser: the audio-cookbook design with the bandwidth in octaves
// between the -gain/2 points. Gain 0 dB (or bandwidth 0) gives exactly the identity filter. A centre
// at or above the Nyquist frequency is pulled just below it. Pure; any thread.
Biquad designPeaking(double sampleRate, double centreHz, double octaves, double gainDb);

// Magnitude response in dB at `hz` (for checks and tests).
double responseDb(const Biquad& q, double hz, double sampleRate);

}  // namespace vx::audio
