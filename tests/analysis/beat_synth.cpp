#include "beat_synth.h"

#include <cmath>
#include <numbers>
#include <random>

namespace vx::test {

Stereo makeBeat(const BeatPattern& p, int rate) {
    const auto frames = static_cast<std::size_t>(p.seconds * rate);
    Stereo out(2 * frames, 0.0f);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> white(-1.0f, 1.0f);
    const auto add = [&](std::size_t at, float v, float pan = 0.5f) {
        if (at >= frames) return;
        out[2 * at] += v * (1 - pan) * 2;
        out[2 * at + 1] += v * pan * 2;
    };
    const auto kick = [&](double t0) {
        double phase = 0;
        const auto start = static_cast<std::size_t>(std::llround(t0 * rate));
        for (int i = 0; i < rate * 3 / 10; ++i) {
            const double t = double(i) / rate;
            phase += 2 * std::numbers::pi * (50 + 100 * std::exp(-t / 0.03)) / rate;
            add(start + i, static_cast<float>(0.8 * std::exp(-t / 0.15) * std::sin(phase)));
        }
    };
    const auto hat = [&](double t0, float level) {
        const auto start = static_cast<std::size_t>(std::llround(t0 * rate));
        float last = 0;
        for (int i = 0; i < rate / 20; ++i) {
            const float n = white(random);
            add(start + i, level * std::exp(-float(i) / (0.015f * rate)) * (n - last), 0.7f);
            last = n;
        }
    };
    const double beat = 60 / p.bpm;
    for (double t = p.firstBeatS; t < p.seconds; t += beat) {
        if (t < p.introS) continue;
        kick(t);
        hat(t + beat * (p.swing ? 2.0 / 3 : 0.5), p.hatLevel);
    }
    std::uniform_real_distribution<double> when(0, std::max(p.introS, 0.0));
    for (int i = 0; i < static_cast<int>(p.introS * 3); ++i) hat(when(random), 0.3f);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double swell = t < p.introS ? 0.5 - 0.5 * std::cos(2 * std::numbers::pi * t / p.introS) : 0.3;
        const double chord = std::sin(2 * std::numbers::pi * 220 * t) + std::sin(2 * std::numbers::pi * 277.2 * t) +
                             std::sin(2 * std::numbers::pi * 329.6 * t);
        add(i, static_cast<float>(0.03 * swell * chord + p.noise * white(random)));
    }
    for (float& v : out) v *= static_cast<float>(p.gain);
    return out;
}

}  // namespace vx::test
