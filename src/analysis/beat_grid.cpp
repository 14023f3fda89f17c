#include "analysis/beat_grid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace vx::analysis {
namespace {

constexpr double kSlowestBpm = 60, kFastestBpm = 200;  // the autocorrelation's search range
constexpr double kLikeliestBpm = 125, kTempoSpreadOctaves = 0.7;
constexpr double kAcfMaxS = 240;   // the tempo is guessed from at most this much of the middle
constexpr double kSegmentS = 8;    // the phase is followed in steps this long
constexpr double kBeatContrast = 4;
constexpr double kHalfBeat = 0.6;  // an off-beat this strong against the beat is a beat itself  // a segment's folded peak over its mean, for it to count as beating

struct Fold {
    double phase = 0;     // where in [0, period) the folded envelope peaks, in envelope steps
    double contrast = 0;  // that peak over the fold's mean
    double mass = 0;      // the envelope summed over the folded stretch
    double half = 0;      // the fold half a period from its peak, over the peak
};

// Folds env[from, to) at `period` steps (the comb filter at one tempo), each value split between its two
// nearest phase bins, and finds the smoothed peak.
Fold fold(const std::vector<float>& env, std::size_t from, std::size_t to, double period) {
    const int bins = std::max(2, static_cast<int>(std::ceil(period)));
    std::vector<double> h(static_cast<std::size_t>(bins), 0.0);
    Fold f;
    for (std::size_t n = from; n < to; ++n) {
        const double ph = std::fmod(static_cast<double>(n), period);
        const int b = std::min(static_cast<int>(ph), bins - 1);
        const double frac = ph - b;
        h[static_cast<std::size_t>(b)] += env[n] * (1 - frac);
        h[static_cast<std::size_t>((b + 1) % bins)] += env[n] * frac;
        f.mass += env[n];
    }
    std::vector<double> s(h.size());
    const auto at = [&](int i) { return h[static_cast<std::size_t>((i + bins) % bins)]; };
    for (int i = 0; i < bins; ++i) s[static_cast<std::size_t>(i)] = 0.25 * at(i - 1) + 0.5 * at(i) + 0.25 * at(i + 1);
    const int peak = static_cast<int>(std::max_element(s.begin(), s.end()) - s.begin());
    const double l = s[static_cast<std::size_t>((peak + bins - 1) % bins)], c = s[static_cast<std::size_t>(peak)],
                 r = s[static_cast<std::size_t>((peak + 1) % bins)];
    const double denom = l - 2 * c + r;
    const double shift = denom < 0 ? std::clamp(0.5 * (l - r) / denom, -0.5, 0.5) : 0.0;
    f.phase = std::fmod(peak + shift + period, period);
    const double mean = f.mass / bins;
    f.contrast = mean > 0 ? c / mean : 0;
    const int opposite = peak + static_cast<int>(std::lround(period / 2));
    const double across = std::max({s[static_cast<std::size_t>((opposite - 1) % bins)],
                                    s[static_cast<std::size_t>(opposite % bins)],
                                    s[static_cast<std::size_t>((opposite + 1) % bins)]});
    f.half = c > 0 ? across / c : 0;
    return f;
}

// The beat period in envelope steps, from the autocorrelation of (at most) the middle few minutes.
double guessPeriod(const std::vector<float>& env, double rate) {
    const auto span = std::min(env.size(), static_cast<std::size_t>(kAcfMaxS * rate));
    const std::size_t from = (env.size() - span) / 2;
    std::vector<float> x(env.begin() + static_cast<std::ptrdiff_t>(from),
                         env.begin() + static_cast<std::ptrdiff_t>(from + span));
    const float mean = std::accumulate(x.begin(), x.end(), 0.0f) / static_cast<float>(std::max<std::size_t>(span, 1));
    for (float& v : x) v -= mean;
    const int minLag = static_cast<int>(std::floor(60 * rate / kFastestBpm));
    const int maxLag = static_cast<int>(std::ceil(60 * rate / kSlowestBpm));
    if (x.size() < static_cast<std::size_t>(4 * maxLag)) return 0;
    std::vector<double> acf(static_cast<std::size_t>(2 * maxLag + 2), 0.0);
    for (int lag = minLag; lag <= 2 * maxLag + 1; ++lag) {
        float sum = 0;
        const std::size_t n = x.size() - static_cast<std::size_t>(lag);
        for (std::size_t i = 0; i < n; ++i) sum += x[i] * x[i + static_cast<std::size_t>(lag)];
        acf[static_cast<std::size_t>(lag)] = sum / static_cast<double>(n);
    }
    int best = 0;
    double bestScore = 0;
    for (int lag = minLag; lag <= maxLag; ++lag) {
        const double bpm = 60 * rate / lag;
        const double octaves = std::log2(bpm / kLikeliestBpm) / kTempoSpreadOctaves;
        const double score = (std::max(0.0, acf[static_cast<std::size_t>(lag)]) +
                              0.5 * std::max(0.0, acf[static_cast<std::size_t>(2 * lag)])) *
                             std::exp(-0.5 * octaves * octaves);
        if (score > bestScore) bestScore = score, best = lag;
    }
    if (best == 0) return 0;
    // The second beat's peak halves the error of reading the first.
    int two = 2 * best;
    for (int lag = 2 * best - 2; lag <= 2 * best + 2; ++lag) {
        if (lag > minLag && lag <= 2 * maxLag && acf[static_cast<std::size_t>(lag)] > acf[static_cast<std::size_t>(two)])
            two = lag;
    }
    const double l = acf[static_cast<std::size_t>(two - 1)], c = acf[static_cast<std::size_t>(two)],
                 r = acf[static_cast<std::size_t>(two + 1)];
    const double denom = l - 2 * c + r;
    return 0.5 * (two + (denom < 0 ? std::clamp(0.5 * (l - r) / denom, -0.5, 0.5) : 0.0));
}

struct Drift {
    double period = 0;
    int beating = 0;    // segments with a clear beat
    int following = 0;  // of those, the ones on the fitted grid
    int sounding = 0;   // segments with any onsets at all
};

// Follows the phase at `period` through the track, segment by segment, and corrects the period by the
// slope of its drift (a beat that comes a little later each segment is a little slower than guessed).
Drift refine(const std::vector<float>& env, double rate, double period) {
    const auto seg = static_cast<std::size_t>(kSegmentS * rate);
    const double total = std::accumulate(env.begin(), env.end(), 0.0);
    Drift d;
    for (int round = 0; round < 3; ++round) {
        std::vector<double> t, ph;
        double previous = 0;
        d.sounding = 0;
        for (std::size_t from = 0; from + seg / 2 < env.size(); from += seg) {
            const std::size_t to = std::min(env.size(), from + seg);
            const Fold f = fold(env, from, to, period);
            if (f.mass > 1e-3 * total * static_cast<double>(to - from) / static_cast<double>(env.size())) ++d.sounding;
            if (f.contrast < kBeatContrast) continue;
            double p = f.phase;
            if (!ph.empty()) p = previous + std::remainder(p - previous, period);
            previous = p;
            t.push_back(0.5 * static_cast<double>(from + to));
            ph.push_back(p);
        }
        d.beating = static_cast<int>(t.size());
        if (t.size() < 2) return d.period = period, d;
        std::vector<bool> use(t.size(), true);
        double slope = 0, intercept = 0;
        for (int pass = 0; pass < 2; ++pass) {
            double n = 0, st = 0, sp = 0, stt = 0, stp = 0;
            for (std::size_t i = 0; i < t.size(); ++i) {
                if (!use[i]) continue;
                n += 1, st += t[i], sp += ph[i], stt += t[i] * t[i], stp += t[i] * ph[i];
            }
            const double var = n * stt - st * st;
            if (n < 2 || var <= 0) break;
            slope = (n * stp - st * sp) / var;
            intercept = (sp - slope * st) / n;
            d.following = 0;
            for (std::size_t i = 0; i < t.size(); ++i) {
                use[i] = std::abs(ph[i] - intercept - slope * t[i]) < period / 8;
                d.following += use[i] ? 1 : 0;
            }
        }
        period *= 1 + slope;
    }
    d.period = period;
    return d;
}

}  // namespace

BeatGrid findBeatGrid(const std::vector<float>& onsets, double rate, double startS) {
    BeatGrid grid;
    double guess = guessPeriod(onsets, rate);
    if (guess <= 0) return grid;
    // Beats as strong half way between those guessed: the guess was half the tempo, unless twice it lies
    // beyond any dance tempo (a loud off-beat hi-hat over a 124 BPM kick is not a 248 BPM beat).
    if (60 * rate / (guess / 2) <= kFastestBpm && fold(onsets, 0, onsets.size(), guess).half > kHalfBeat)
        guess /= 2;
    const Drift drift = refine(onsets, rate, guess);
    const double bpm = std::round(600 * rate / drift.period) / 10;
    if (bpm < kSlowestBpm / 2 || bpm > kFastestBpm * 2) return grid;
    const double period = 60 * rate / bpm;
    const Fold whole = fold(onsets, 0, onsets.size(), period);
    const double beatS = 60 / bpm;
    grid.bpm = bpm;
    grid.offsetS = std::fmod(std::fmod(startS + whole.phase / rate, beatS) + beatS, beatS);
    grid.confidence = drift.sounding > 0 ? std::min(1.0, double(drift.following) / drift.sounding) : 0;
    return grid;
}

}  // namespace vx::analysis
