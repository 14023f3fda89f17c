#include "analysis/signal_features.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/beat_grid.h"

namespace vx::analysis {
namespace {

constexpr float kLowEdgeHz = 200, kHighEdgeHz = 4000;
// How much each band's rise counts towards an onset: the kick and bass carry the beat.
constexpr std::array<float, WaveformSummary::kBands> kOnsetWeight = {1.0f, 0.7f, 0.5f};
constexpr float kEnergyFloor = 1e-7f;  // -70 dBFS: quieter stretches do not make onsets of their noise
constexpr int kWindowHops = 3;         // the energy window (10 ms: whole cycles of a 50 Hz kick's square)
// An onset shows as the window that holds the attack ends: about one hop after it (measured on kicks).
constexpr double kOnsetDelayS = 1.0 / SignalFeatures::kOnsetsPerSecond;

constexpr double kNoPeakDb = -120;  // the true peak of silence, kept finite for the files that store it

std::uint8_t level(float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

struct SignalFeatures::Loudness {
    ebur128_state* state = nullptr;
    ~Loudness() {
        if (state) ebur128_destroy(&state);
    }
};

SignalFeatures::SignalFeatures(int rate)
    : rate_(rate),
      pointFrames_(rate / WaveformSummary::kPointsPerSecond),
      hopFrames_(rate / kOnsetsPerSecond),
      loudness_(std::make_unique<Loudness>()) {
    loudness_->state = ebur128_init(2, static_cast<unsigned long>(rate), EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    // Second-order Butterworth sections (bilinear transform) for the band edges.
    const auto design = [rate](Biquad& f, float hz, bool highPass) {
        const double w = 2 * std::numbers::pi * hz / rate, cw = std::cos(w), alpha = std::sin(w) / std::sqrt(2.0);
        const double a0 = 1 + alpha;
        const double g = highPass ? (1 + cw) / 2 : (1 - cw) / 2;
        f.b0 = static_cast<float>(g / a0);
        f.b1 = static_cast<float>((highPass ? -2 : 2) * g / a0);
        f.b2 = f.b0;
        f.a1 = static_cast<float>(-2 * cw / a0);
        f.a2 = static_cast<float>((1 - alpha) / a0);
    };
    design(low_, kLowEdgeHz, false);
    design(high_, kHighEdgeHz, true);
    for (auto& band : logHistory_) band.fill(std::log(kEnergyFloor));
}

SignalFeatures::~SignalFeatures() = default;

void SignalFeatures::feed(const float* stereo, std::size_t frames) {
    if (loudness_->state) ebur128_add_frames_float(loudness_->state, stereo, frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const float x = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
        const float lo = low_.run(x), hi = high_.run(x);
        const std::array<float, WaveformSummary::kBands> band = {lo, x - lo - hi, hi};
        for (int b = 0; b < WaveformSummary::kBands; ++b) {
            const float sq = band[b] * band[b];
            pointPeak_[b] = std::max(pointPeak_[b], std::abs(band[b]));
            pointSquares_[b] += sq;
            hopSquares_[b] += sq;
        }
        if (++pointFill_ == pointFrames_) endPoint();
        if (++hopFill_ == hopFrames_) endHop();
    }
}

void SignalFeatures::endPoint() {
    for (int b = 0; b < WaveformSummary::kBands; ++b) {
        waveform_.peak[b].push_back(level(pointPeak_[b]));
        waveform_.rms[b].push_back(level(std::sqrt(pointSquares_[b] / static_cast<float>(pointFill_))));
        pointPeak_[b] = pointSquares_[b] = 0;
    }
    pointFill_ = 0;
}

// The onset strength of one hop: how much the log energy of the window ending here rose over the window
// just before it, summed over the bands (falls count nothing).
void SignalFeatures::endHop() {
    const std::size_t slot = hops_ % kWindowHops;
    float onset = 0;
    for (int b = 0; b < WaveformSummary::kBands; ++b) {
        auto& energy = hopHistory_[b];
        energy[slot] = hopSquares_[b];
        hopSquares_[b] = 0;
        const float window = (energy[0] + energy[1] + energy[2]) / static_cast<float>(kWindowHops * hopFrames_);
        const float log = std::log(window + kEnergyFloor);
        auto& logs = logHistory_[b];
        onset += kOnsetWeight[b] * std::max(0.0f, log - logs[slot]);  // the window three hops back
        logs[slot] = log;
    }
    onsets_.push_back(onset);
    ++hops_;
    hopFill_ = 0;
}

void SignalFeatures::finish(TrackAnalysis& out) {
    if (pointFill_ > 0) endPoint();
    out.waveform = std::move(waveform_);
    const BeatGrid grid = findBeatGrid(onsets_, kOnsetsPerSecond, -kOnsetDelayS);
    out.bpm = grid.bpm;
    out.beatOffsetS = grid.offsetS;
    out.bpmConfidence = grid.confidence;
    out.lufs = -70;
    out.truePeakDbtp = kNoPeakDb;
    if (!loudness_->state) return;
    double lufs = 0;
    if (ebur128_loudness_global(loudness_->state, &lufs) == EBUR128_SUCCESS && std::isfinite(lufs))
        out.lufs = std::max(lufs, -70.0);
    double peak = 0;
    for (unsigned ch = 0; ch < 2; ++ch) {
        double p = 0;
        if (ebur128_true_peak(loudness_->state, ch, &p) == EBUR128_SUCCESS) peak = std::max(peak, p);
    }
    out.truePeakDbtp = std::max(kNoPeakDb, 20 * std::log10(std::max(peak, 1e-12)));
}

}  // namespace vx::analysis
