#include "audio/voice_eq.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vx::audio {

namespace {

// Left and right travel together through the filters, two lanes of one vector register.
typedef float Pair __attribute__((vector_size(8)));

constexpr int kSubBlock = 16;           // frames between coefficient updates while gliding
constexpr double kGlideSeconds = 0.02;  // how long a change takes
// The two sections of a fourth-order Butterworth filter (1 / Q); twice in a row they make the
// eighth-order Linkwitz-Riley crossover, whose two halves sum to an all-pass.
constexpr float kButterworthK[2] = {1.847759f, 0.765367f};

// One step of a trapezoidal state-variable filter: returns the band-pass (v1) and low-pass (v2) parts.
inline void svf(float a1, float a2, float a3, Pair x, Pair& ic1, Pair& ic2, Pair& v1, Pair& v2) {
    const Pair v3 = x - ic2;
    v1 = a1 * ic1 + a2 * v3;
    v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0f * v1 - ic1;
    ic2 = 2.0f * v2 - ic2;
}

float isolatorGain(float db) {
    return db <= kIsolatorKillDb ? 0.0f : std::pow(10.0f, db / 20.0f);
}

}  // namespace

void VoiceEq::Glide::to(float value, int steps) {
    if (value == target) return;
    target = value;
    left = steps;
    step = (target - now) / static_cast<float>(steps);
}

bool VoiceEq::Glide::advance() {
    if (left == 0) return false;
    now = --left == 0 ? target : now + step;
    return true;
}

void VoiceEq::prepare(int outRate) {
    rate_ = outRate;
    glideSteps_ = std::max(1, static_cast<int>(kGlideSeconds * outRate / kSubBlock));
    const auto sections = [outRate](double hz, std::array<Svf, 4>& out) {
        const float g = static_cast<float>(std::tan(std::numbers::pi * hz / outRate));
        for (int i = 0; i < 4; ++i) {
            Svf& s = out[static_cast<std::size_t>(i)];
            s.k = kButterworthK[i & 1];
            s.a1 = 1.0f / (1.0f + g * (g + s.k));
            s.a2 = g * s.a1;
            s.a3 = g * s.a2;
        }
    };
    sections(kIsolatorLowHz, lowSections_);
    sections(kIsolatorHighHz, highSections_);
}

void VoiceEq::setBand(int band, const EqBandDesign& design, int bandCount, EqMode mode) {
    bandCount = std::clamp(bandCount, 0, kMaxEqBands);
    if (bands_ == 0) clearState();
    for (int b = bands_; b < bandCount; ++b) {  // a new band starts as the identity
        band_[static_cast<std::size_t>(b)] = Band{};
    }
    bands_ = std::max(bands_, bandCount);
    if (band >= 0 && band < bands_) {
        Band& n = band_[static_cast<std::size_t>(band)];
        if (n.a.now == 1.0f && n.a.target == 1.0f) n.invQ = Glide{design.invQ, design.invQ, 0, 0};
        n.design = design;
    }
    mode_ = mode;
    removing_ = false;
    retarget();
}

void VoiceEq::remove() {
    if (bands_ == 0) return;
    removing_ = true;
    retarget();
}

void VoiceEq::retarget() {
    const bool isolate = mode_ == EqMode::Isolator && !removing_;
    for (int b = 0; b < bands_; ++b) {
        Band& n = band_[static_cast<std::size_t>(b)];
        const bool bell = !removing_ && !(isolate && b < 3);
        n.a.to(bell ? n.design.a : 1.0f, glideSteps_);
        n.invQ.to(n.design.invQ, glideSteps_);
    }
    for (int b = 0; b < 3; ++b) {
        isoGain_[static_cast<std::size_t>(b)].to(
            b < bands_ ? isolatorGain(band_[static_cast<std::size_t>(b)].design.gainDb) : 1.0f, glideSteps_);
    }
    isoMix_.to(isolate ? 1.0f : 0.0f, glideSteps_);
}

bool VoiceEq::gliding() const {
    if (isoMix_.left > 0) return true;
    for (int b = 0; b < bands_; ++b) {
        if (band_[static_cast<std::size_t>(b)].a.left > 0) return true;
    }
    return false;
}

void VoiceEq::clearState() {
    for (Band& n : band_) std::fill(&n.s1[0], &n.s1[0] + 2, 0.0f), std::fill(&n.s2[0], &n.s2[0] + 2, 0.0f);
    std::fill(&iso_[0][0][0][0], &iso_[0][0][0][0] + sizeof(iso_) / sizeof(float), 0.0f);
}

void VoiceEq::settle() {
    clearState();
}

void VoiceEq::process(float* l, float* r, int frames) {
    if (bands_ == 0) return;
    for (int k = 0; k < frames; k += kSubBlock) {
        const int count = std::min(kSubBlock, frames - k);
        for (int b = 0; b < bands_; ++b) {
            band_[static_cast<std::size_t>(b)].a.advance();
            band_[static_cast<std::size_t>(b)].invQ.advance();
        }
        for (Glide& g : isoGain_) g.advance();
        isoMix_.advance();
        runBells(l + k, r + k, count);
        if (isoMix_.now > 0.0f || isoApplied_[3] > 0.0f) {  // also the sub-block that blends it out
            runIsolator(l + k, r + k, count);
            isoRan_ = true;
        } else if (isoRan_) {  // blended out: the next blend-in starts from rest
            std::fill(&iso_[0][0][0][0], &iso_[0][0][0][0] + sizeof(iso_) / sizeof(float), 0.0f);
            isoApplied_[3] = 0;
            isoRan_ = false;
        }
    }
    if (removing_ && !gliding()) {  // back at the identity: stop filtering
        bands_ = 0;
        removing_ = false;
        clearState();
    }
}

// Coefficients move from the last sub-block's to this one's sample by sample, so that even a kill
// glides without a step.
void VoiceEq::runBells(float* l, float* r, int count) {
    for (int b = 0; b < bands_; ++b) {
        Band& n = band_[static_cast<std::size_t>(b)];
        const float a = n.a.now;
        float g = n.design.g, k = n.invQ.now;
        Coeffs c;
        if (n.design.shape == EqBandDesign::Bell) {
            k /= a;
            c.m1 = k * (a * a - 1.0f);
        } else {
            g *= std::sqrt(a);
            c.m0 = a * a;
            c.m1 = k * (1.0f - a) * a;
            c.m2 = 1.0f - a * a;
        }
        c.a1 = 1.0f / (1.0f + g * (g + k));
        c.a2 = g * c.a1;
        c.a3 = g * c.a2;
        if (n.now.a1 == 0) n.now = c;  // a new band starts where it is
        Pair ic1 = {n.s1[0], n.s1[1]}, ic2 = {n.s2[0], n.s2[1]}, v1, v2;
        if (c == n.now) {
            for (int s = 0; s < count; ++s) {
                const Pair x = {l[s], r[s]};
                svf(c.a1, c.a2, c.a3, x, ic1, ic2, v1, v2);
                const Pair y = c.m0 * x + c.m1 * v1 + c.m2 * v2;
                l[s] = y[0];
                r[s] = y[1];
            }
        } else {
            const float f = 1.0f / static_cast<float>(count);
            const Coeffs d{(c.a1 - n.now.a1) * f, (c.a2 - n.now.a2) * f, (c.a3 - n.now.a3) * f,
                           (c.m0 - n.now.m0) * f, (c.m1 - n.now.m1) * f, (c.m2 - n.now.m2) * f};
            Coeffs q = n.now;
            for (int s = 0; s < count; ++s) {
                q.a1 += d.a1, q.a2 += d.a2, q.a3 += d.a3, q.m0 += d.m0, q.m1 += d.m1, q.m2 += d.m2;
                const Pair x = {l[s], r[s]};
                svf(q.a1, q.a2, q.a3, x, ic1, ic2, v1, v2);
                const Pair y = q.m0 * x + q.m1 * v1 + q.m2 * v2;
                l[s] = y[0];
                r[s] = y[1];
            }
            n.now = c;
        }
        n.s1[0] = ic1[0], n.s1[1] = ic1[1], n.s2[0] = ic2[0], n.s2[1] = ic2[1];
    }
}

void VoiceEq::runIsolator(float* l, float* r, int count) {
    Pair z[5][4][2];
    for (int f = 0; f < 5; ++f)
        for (int s = 0; s < 4; ++s)
            for (int i = 0; i < 2; ++i) z[f][s][i] = Pair{iso_[f][s][i][0], iso_[f][s][i][1]};
    // Gains and blend glide sample by sample from where the last sub-block left them.
    const float to[4] = {isoGain_[0].now, isoGain_[1].now, isoGain_[2].now, isoMix_.now};
    float d[4];
    for (int i = 0; i < 4; ++i) d[i] = (to[i] - isoApplied_[i]) / static_cast<float>(count);
    float gLow = isoApplied_[0], gMid = isoApplied_[1], gHigh = isoApplied_[2], mix = isoApplied_[3];
    Pair v1, v2;
    for (int n = 0; n < count; ++n) {
        gLow += d[0], gMid += d[1], gHigh += d[2], mix += d[3];
        const Pair x = {l[n], r[n]};
        Pair low = x, rest = x;
        for (int s = 0; s < 4; ++s) {  // 250 Hz: eighth-order low-pass and high-pass
            const Svf& c = lowSections_[static_cast<std::size_t>(s)];
            svf(c.a1, c.a2, c.a3, low, z[0][s][0], z[0][s][1], v1, v2);
            low = v2;
            svf(c.a1, c.a2, c.a3, rest, z[1][s][0], z[1][s][1], v1, v2);
            rest = rest - c.k * v1 - v2;
        }
        for (int s = 0; s < 2; ++s) {  // the low part takes the phase of the 2.5 kHz split too
            const Svf& c = highSections_[static_cast<std::size_t>(s)];
            svf(c.a1, c.a2, c.a3, low, z[2][s][0], z[2][s][1], v1, v2);
            low = low - 2.0f * c.k * v1;
        }
        Pair mid = rest, high = rest;
        for (int s = 0; s < 4; ++s) {  // 2.5 kHz
            const Svf& c = highSections_[static_cast<std::size_t>(s)];
            svf(c.a1, c.a2, c.a3, mid, z[3][s][0], z[3][s][1], v1, v2);
            mid = v2;
            svf(c.a1, c.a2, c.a3, high, z[4][s][0], z[4][s][1], v1, v2);
            high = high - c.k * v1 - v2;
        }
        const Pair y = x + mix * (gLow * low + gMid * mid + gHigh * high - x);
        l[n] = y[0];
        r[n] = y[1];
    }
    for (int f = 0; f < 5; ++f)
        for (int s = 0; s < 4; ++s)
            for (int i = 0; i < 2; ++i) iso_[f][s][i][0] = z[f][s][i][0], iso_[f][s][i][1] = z[f][s][i][1];
    std::copy(to, to + 4, isoApplied_);
}

}  // namespace vx::audio
