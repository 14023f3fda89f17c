#include "audio/drift_interpolator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/kaiser.h"

namespace vx::audio::drift {

namespace {

constexpr int kTaps = 2 * kHalfTaps;
constexpr double kCutoff = 0.5;  // half-amplitude frequency as a fraction of the rate
constexpr double kBeta = 10.2;   // Kaiser window shape
// Table rows per frame, linearly interpolated between: the error of that stays near -120 dB.
constexpr int kPhases = 512;

// Row r: tap j weighs frame floor(pos) - kHalfTaps + 1 + j for a position r / kPhases past floor(pos).
// Each tap is written twice, once for each channel of its frame, so that a vector register weighs two
// interleaved frames at once; `step` holds the change to the same taps of row r + 1.
typedef float Quad __attribute__((vector_size(16)));
constexpr int kQuads = kTaps / 2;
static_assert(kQuads % 2 == 0);
struct Row {
    Quad value[kQuads];
    Quad step[kQuads];
};
alignas(64) Row gRows[kPhases];

double kernel(double t) {
    t = std::fabs(t);
    if (t >= kHalfTaps) return 0;
    const double x = std::numbers::pi * 2 * kCutoff * t;
    const double sinc = x == 0 ? 1.0 : std::sin(x) / x;
    const double r = t / kHalfTaps;
    return 2 * kCutoff * sinc * besselI0(kBeta * std::sqrt(1 - r * r)) / besselI0(kBeta);
}

bool buildRows() {
    for (int r = 0; r < kPhases; ++r) {
        for (int j = 0; j < kTaps; ++j) {
            const double t = kHalfTaps - 1 - j + static_cast<double>(r) / kPhases;
            const double h = kernel(t);
            for (int lane : {2 * (j % 2), 2 * (j % 2) + 1}) {
                gRows[r].value[j / 2][lane] = static_cast<float>(h);
                gRows[r].step[j / 2][lane] = static_cast<float>(kernel(t + 1.0 / kPhases) - h);
            }
        }
    }
    return true;
}

[[maybe_unused]] const bool gBuilt = buildRows();

}  // namespace

void frameAt(const float* frames, double pos, float* left, float* right) {
    const double base = std::floor(pos);
    const double phase = (pos - base) * kPhases;
    const auto i = static_cast<long>(base);
    if (phase == 0) {
        *left = frames[2 * i];
        *right = frames[2 * i + 1];
        return;
    }
    const int r = std::min(static_cast<int>(phase), kPhases - 1);
    const float eta = static_cast<float>(phase - r);
    const Row& row = gRows[r];
    const float* p = frames + 2 * (i - kHalfTaps + 1);
    Quad even = {}, odd = {};  // two chains of additions, so that one need not wait for the other
    for (int q = 0; q < kQuads; q += 2) {
        Quad x, y;
        std::memcpy(&x, p + 4 * q, sizeof x);
        std::memcpy(&y, p + 4 * q + 4, sizeof y);
        even += (row.value[q] + eta * row.step[q]) * x;
        odd += (row.value[q + 1] + eta * row.step[q + 1]) * y;
    }
    const Quad sum = even + odd;
    *left = sum[0] + sum[2];
    *right = sum[1] + sum[3];
}

}  // namespace vx::audio::drift
