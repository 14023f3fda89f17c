#pragma once

namespace vx::audio {

// The modified Bessel function of the first kind, order 0: the Kaiser window's shape. The series is
// summed until its terms no longer count (fine for the betas of our interpolators, below 20).
inline double besselI0(double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 64 && term > sum * 1e-17; ++k) {
        const double f = x / (2 * k);
        term *= f * f;
        sum += term;
    }
    return sum;
}

}  // namespace vx::audio
