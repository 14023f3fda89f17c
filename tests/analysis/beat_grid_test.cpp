// The tempo and beat grid found in generated tracks of known tempo: within 0.1 BPM (or exactly half or
// double) and the grid within 10 ms of the kicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "analysis/analyser.h"
#include "beat_synth.h"

namespace vx::analysis {
namespace {

TrackAnalysis analyse(const test::Stereo& s) {
    std::vector<std::int16_t> pcm(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(std::lround(std::clamp(s[i], -1.0f, 1.0f) * 32767.0f));
    Analyser analyser;
    for (std::size_t at = 0; at < pcm.size(); at += 2 * 4096)
        analyser.feed(pcm.data() + at, std::min<std::size_t>(4096, (pcm.size() - at) / 2));
    return analyser.finish();
}

TEST(BeatGrid, FindsTheTempoAndPhaseOfGeneratedTracks) {
    const std::vector<test::BeatPattern> table = {
        {"80", 80, 0.412},
        {"100", 100, 0.05},
        {"128", 128, 0.3},
        {"150", 150, 0.177},
        {"174", 174, 0.02},
        {"swing_96", 96, 0.25, true},
        {"intro_122", 122.5, 0.1, false, 20},
        {"noise_140", 140, 0.33, false, 0, 0.12},
        {"long_126_3", 126.3, 0.21, false, 0, 0, 150},
        {"loud_hat_124", 124, 0.1, false, 0, 0, 60, 1, 1.5f},  // hi-hat over the kick: not 248
    };
    int good = 0;
    for (const test::BeatPattern& p : table) {
        const test::Stereo sound = test::makeBeat(p, kAnalysisRate);
        const TrackAnalysis a = analyse(sound);
        double ratio = 0;
        for (const double r : {1.0, 0.5, 2.0})
            if (std::abs(a.bpm - p.bpm * r) <= 0.1 + 1e-9) ratio = r;
        // Every beat of the grid must fall on a kick (a doubled grid: on a kick or half way).
        const double step = 60 / p.bpm / std::max(ratio, 1.0);
        const double phaseMs = ratio > 0 ? 1000 * std::remainder(a.beatOffsetS - p.firstBeatS, step) : 1e9;
        const bool ok = ratio > 0 && std::abs(phaseMs) <= 10;
        good += ok ? 1 : 0;
        if (p.hatLevel > 0.15f) {
            EXPECT_EQ(ratio, 1.0) << p.name << ": a loud off-beat is no beat of its own";
        }
        EXPECT_TRUE(ok) << p.name << ": found " << a.bpm << " BPM, phase off by " << phaseMs << " ms";
        if (!ok) test::writeWav(testing::TempDir() + "beat_" + p.name + ".wav", sound, kAnalysisRate);
        EXPECT_GT(a.bpmConfidence, p.introS > 0 ? 0.4 : 0.8) << p.name;
        std::printf("%-11s true %6.1f found %6.1f  phase %+5.1f ms  confidence %.2f\n", p.name.c_str(), p.bpm,
                    a.bpm, phaseMs, a.bpmConfidence);
    }
    EXPECT_GE(good, static_cast<int>(std::ceil(0.95 * table.size())));
}

}  // namespace
}  // namespace vx::analysis
