#include "audio/eq_design.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace vx::audio {

namespace {
constexpr double kShelfAbove = 0.3;  // share of the rate above which a bell turns into a high shelf
constexpr double kHighestCorner = 0.45;
}  // namespace

EqBandDesign designBand(double sampleRate, double centreHz, double octaves, double gainDb) {
    EqBandDesign d;
    if (!(sampleRate > 0) || !(centreHz > 0) || !std::isfinite(gainDb) || !(octaves > 0)) return d;
    octaves = std::min(octaves, 8.0);
    d.gainDb = static_cast<float>(gainDb);
    d.a = static_cast<float>(std::pow(10.0, gainDb / 40.0));
    double fc = centreHz;
    if (centreHz > kShelfAbove * sampleRate) {
        d.shape = EqBandDesign::HighShelf;
        fc = centreHz * std::pow(2.0, -octaves / 2.0);     // the lower band edge
        d.invQ = static_cast<float>(std::numbers::sqrt2);  // the steepest shelf without a bump
    } else {
        // The width holds between the half-gain points in what is heard, the bilinear squeeze undone.
        const double w0 = 2.0 * std::numbers::pi * fc / sampleRate;
        d.invQ = static_cast<float>(2.0 * std::sinh(std::log(2.0) / 2.0 * octaves * w0 / std::sin(w0)));
    }
    fc = std::min(fc, kHighestCorner * sampleRate);
    d.g = static_cast<float>(std::tan(std::numbers::pi * fc / sampleRate));
    return d;
}

double bandResponseDb(const EqBandDesign& d, double hz, double sampleRate) {
    // The analogue prototype at the pre-warped frequency is what the bilinear filter does at `hz`.
    const double a = d.a, k = d.invQ;
    const std::complex<double> s(0.0, std::tan(std::numbers::pi * hz / sampleRate) / d.g);
    std::complex<double> h;
    if (d.shape == EqBandDesign::Bell) {
        h = (s * s + s * (k * a) + 1.0) / (s * s + s * (k / a) + 1.0);
    } else {
        // High shelf: unity below the corner, a^2 above it.
        const double r = std::sqrt(a);
        h = a * (a * s * s + s * (k * r) + 1.0) / (s * s + s * (k * r) + a);
    }
    return 20.0 * std::log10(std::abs(h));
}

}  // namespace vx::audio
