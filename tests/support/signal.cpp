#include "support/signal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>

namespace vx::test {

std::vector<float> sine(double hz, int rate, int frames, double amplitude) {
    std::vector<float> x(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        x[static_cast<std::size_t>(i)] =
            static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate));
    }
    return x;
}

std::vector<float> channel(const Stereo& s, int ch, std::size_t from, std::size_t frames) {
    std::vector<float> out;
    const std::size_t total = s.size() / 2;
    for (std::size_t i = from; i < total && i - from < frames; ++i)
        out.push_back(s[2 * i + static_cast<std::size_t>(ch)]);
    return out;
}

double zeroCrossingHz(const std::vector<float>& x, int rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            const double t = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * static_cast<double>(rate) / (last - first);
}

double goertzelAmplitude(const std::vector<float>& x, double hz, int rate) {
    const double w = 2 * std::numbers::pi * hz / rate;
    const double c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (float v : x) {
        const double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(x.size());
}

namespace {

// Power left after the least-squares fit of a cos b sin (w n) + c, and the power of the fitted sine.
std::pair<double, double> fitSine(const std::vector<float>& x, double hz, int rate) {
    const double w = 2 * std::numbers::pi * hz / rate;
    double m[3][4] = {};  // normal equations, the right-hand side in the last column
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double v[3] = {std::cos(w * static_cast<double>(i)), std::sin(w * static_cast<double>(i)), 1};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) m[r][c] += v[r] * v[c];
            m[r][3] += v[r] * x[i];
        }
    }
    for (int p = 0; p < 3; ++p) {  // Gauss-Jordan; the matrix is well conditioned over many periods
        for (int r = 0; r < 3; ++r) {
            if (r == p) continue;
            const double f = m[r][p] / m[p][p];
            for (int c = p; c < 4; ++c) m[r][c] -= f * m[p][c];
        }
    }
    const double a = m[0][3] / m[0][0], b = m[1][3] / m[1][1], c = m[2][3] / m[2][2];
    double rest = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = w * static_cast<double>(i);
        const double e = x[i] - (a * std::cos(t) + b * std::sin(t) + c);
        rest += e * e;
    }
    return {rest / static_cast<double>(x.size()), (a * a + b * b) / 2};
}

}  // namespace

double sinadDb(const std::vector<float>& x, double hz, int rate) {
    // Coarse: the strongest quarter-bin within the window; fine: golden-section search of the fit.
    const double bin = static_cast<double>(rate) / static_cast<double>(x.size()) / 4;
    double best = hz, bestAmp = -1;
    for (double f = hz * 0.999; f <= hz * 1.001; f += bin) {
        const double a = goertzelAmplitude(x, f, rate);
        if (a > bestAmp) bestAmp = a, best = f;
    }
    const double g = (std::sqrt(5.0) - 1) / 2;
    double lo = std::max(best - bin, hz * 0.999), hi = std::min(best + bin, hz * 1.001);
    double f1 = hi - g * (hi - lo), f2 = lo + g * (hi - lo);
    double r1 = fitSine(x, f1, rate).first, r2 = fitSine(x, f2, rate).first;
    for (int i = 0; i < 40; ++i) {
        if (r1 < r2) {
            hi = f2, f2 = f1, r2 = r1;
            f1 = hi - g * (hi - lo);
            r1 = fitSine(x, f1, rate).first;
        } else {
            lo = f1, f1 = f2, r1 = r2;
            f2 = lo + g * (hi - lo);
            r2 = fitSine(x, f2, rate).first;
        }
    }
    const auto [rest, tone] = fitSine(x, (lo + hi) / 2, rate);
    return 10 * std::log10(tone / std::max(rest, 1e-30));
}

float peak(const std::vector<float>& x) {
    float p = 0;
    for (float v : x) p = std::max(p, std::fabs(v));
    return p;
}

double rms(const std::vector<float>& x) {
    double sum = 0;
    for (float v : x) sum += double(v) * v;
    return x.empty() ? 0 : std::sqrt(sum / static_cast<double>(x.size()));
}

float maxStep(const std::vector<float>& x) {
    float m = 0;
    for (std::size_t i = 1; i < x.size(); ++i) m = std::max(m, std::fabs(x[i] - x[i - 1]));
    return m;
}

double toDb(double ratio) {
    return 20 * std::log10(ratio);
}

std::vector<std::int16_t> readWavSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        std::uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            const std::size_t n = std::min<std::size_t>(size, bytes.size() - at - 8) / 2;
            std::vector<std::int16_t> samples(n);
            std::memcpy(samples.data(), bytes.data() + at + 8, n * 2);
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

bool writeWav(const std::string& path, const Stereo& s, int rate) {
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const auto data = static_cast<std::uint32_t>(s.size() * 2);
    out.write("RIFF", 4);
    u32(36 + data);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate) * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(data);
    for (float v : s)
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(v, -1.0f, 1.0f) * 32767)));
    return static_cast<bool>(out);
}

std::string fixture(const std::string& name) {
    return std::string(VX_FIXTURE_DIR) + "/" + name;
}

}  // namespace vx::test
