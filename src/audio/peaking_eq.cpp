#include "audio/peaking_eq.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace vx::audio {

Biquad designPeaking(double sampleRate, double centreHz, double octaves, double gainDb) {
    if (!(sampleRate > 0) || !(octaves > 0) || !(centreHz > 0) || !std::isfinite(gainDb) || gainDb == 0) {
        return {};
    }
    const double f0 = std::min(centreHz, 0.49 * sampleRate);
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = 2.0 * std::numbers::pi * f0 / sampleRate;
    const double sn = std::sin(w0);
    const double cs = std::cos(w0);
    const double alpha = sn * std::sinh(std::log(2.0) / 2.0 * std::min(octaves, 8.0) * w0 / sn);
    const double a0 = 1.0 + alpha / a;
    Biquad q;
    q.b0 = static_cast<float>((1.0 + alpha * a) / a0);
    q.b1 = static_cast<float>(-2.0 * cs / a0);
    q.b2 = static_cast<float>((1.0 - alpha * a) / a0);
    q.a1 = q.b1;
    q.a2 = static_cast<float>((1.0 - alpha / a) / a0);
    return q;
}

double responseDb(const Biquad& q, double hz, double sampleRate) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> h = (double(q.b0) + double(q.b1) * z1 + double(q.b2) * z2) /
                                   (1.0 + double(q.a1) * z1 + double(q.a2) * z2);
    return 20.0 * std::log10(std::abs(h));
}

}  // namespace vx::audio
