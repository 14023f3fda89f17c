#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Signal helpers for the audio tests: generate, measure and keep what was rendered.
namespace vx::test {

// Interleaved stereo float frames.
using Stereo = std::vector<float>;

std::vector<float> sine(double hz, int rate, int frames, double amplitude);
// One channel (0 left, 1 right) of `frames` frames starting at frame `from`.
std::vector<float> channel(const Stereo& s, int ch, std::size_t from = 0, std::size_t frames = SIZE_MAX);

// Frequency of a steady tone by interpolated positive-going zero crossings.
double zeroCrossingHz(const std::vector<float>& x, int rate);
// Amplitude of the component at `hz` (single-bin Goertzel, normalised so a sine of amplitude A gives A).
double goertzelAmplitude(const std::vector<float>& x, double hz, int rate);
// Signal to noise and distortion of a steady tone near `hz`, in dB: the sine (and offset) that fits
// best by least squares against everything left when it is taken away. The tone's frequency is found
// within 0.1 % of `hz`, so a tone further off measures as the distortion it is.
double sinadDb(const std::vector<float>& x, double hz, int rate);
float peak(const std::vector<float>& x);
double rms(const std::vector<float>& x);
// Largest difference between neighbouring samples: a click shows as a step far above the tone's own.
float maxStep(const std::vector<float>& x);
double toDb(double ratio);

// The interleaved 16-bit samples of a PCM WAV file (empty when unreadable).
std::vector<std::int16_t> readWavSamples(const std::string& path);
// Writes interleaved stereo float frames as a 16-bit WAV (for looking at a failed test's output).
bool writeWav(const std::string& path, const Stereo& s, int rate);

// A fixture made by tests/data/make_fixtures.sh.
std::string fixture(const std::string& name);

}  // namespace vx::test
