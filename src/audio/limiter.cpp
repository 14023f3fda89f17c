#include "audio/limiter.h"

#include <algorithm>
#include <cmath>

namespace vx::audio {

namespace {
// A recovering gain this close under 1 is taken as 1: far below hearing, and it lets a quiet passage
// after an over return to the exact, bit-identical pass-through.
constexpr double kSnap = 1e-6;
}  // namespace

Limiter::Limiter(int rate)
    : delay_(std::max(1, static_cast<int>(std::lround(rate * kLookAheadSeconds)))),
      window_(delay_ + 1),
      release_(1.0 - std::exp(-1.0 / (kReleaseSeconds * std::max(rate, 1)))),
      delayLine_(2 * static_cast<std::size_t>(window_), 0.0f) {
    for (Channel& c : channels_) {
        c.minValue.assign(static_cast<std::size_t>(window_), 1.0f);
        c.minFrame.assign(static_cast<std::size_t>(window_), 0);
        c.history.assign(static_cast<std::size_t>(window_), 1.0f);
    }
}

float Limiter::Channel::step(float magnitude, std::int64_t frame, int window, int slot, double release) {
    const float required = magnitude > kThreshold ? kThreshold / magnitude : 1.0f;

    // Running minimum over the last `window` frames: drop the candidate that has left the window and
    // those the new value beats.
    if (minCount > 0 && minFrame[static_cast<std::size_t>(minHead)] <= frame - window) {
        minHead = (minHead + 1) % window;
        --minCount;
    }
    while (minCount > 0 &&
           minValue[static_cast<std::size_t>((minHead + minCount - 1) % window)] >= required) {
        --minCount;
    }
    const auto tail = static_cast<std::size_t>((minHead + minCount) % window);
    minValue[tail] = required;
    minFrame[tail] = frame;
    ++minCount;
    const float m = minValue[static_cast<std::size_t>(minHead)];

    float& old = history[static_cast<std::size_t>(slot)];
    if (old < 1.0f) {
        shortfall -= 1.0 - old;
        --below;
    }
    old = m;
    if (m < 1.0f) {
        shortfall += 1.0 - m;
        ++below;
    }
    if (below == 0) shortfall = 0.0;  // no rounding left over from the last over
    const double attack = 1.0 - shortfall / window;

    if (attack <= gain) {
        gain = attack;
    } else {
        gain = std::min(gain + (attack - gain) * release, attack);
        if (below == 0 && gain >= 1.0 - kSnap) gain = 1.0;
    }
    return static_cast<float>(gain);
}

bool Limiter::process(float* io, int frames) {
    bool over = false;
    for (int i = 0; i < frames; ++i, ++frame_) {
        float* x = io + 2 * i;
        float* stored = delayLine_.data() + 2 * slot_;
        for (int ch = 0; ch < 2; ++ch) {
            const float in = x[ch];
            const float magnitude = std::fabs(in);
            over |= magnitude > kThreshold;
            const float g = channels_[ch].step(magnitude, frame_, window_, slot_, release_);
            // The slot holds the frame that came in `window_` frames ago; it goes out `delay_` late.
            const int outSlot = (slot_ + 1) % window_;
            const float delayed = delayLine_[2 * static_cast<std::size_t>(outSlot) + ch];
            stored[ch] = in;
            x[ch] = g == 1.0f ? delayed : delayed * g;
        }
        slot_ = (slot_ + 1) % window_;
    }
    return over;
}

}  // namespace vx::audio
