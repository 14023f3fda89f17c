// SYNC: two playing decks of generated kick patterns at different tempos, one synced to the other;
// afterwards their kicks must fall together for a minute of offline render.

#include <cmath>

#include "analysis/beat_synth.h"
#include "audio/offline_engine.h"
#include "deck/beat_sync.h"

using namespace vx;
using namespace vx::test;

namespace {

constexpr int kRate = 44100;

// Kick onsets (seconds) in one channel: where the low band first reaches a sixth of its peak, at
// least 200 ms after the kick before.
std::vector<double> kicks(const std::vector<float>& x) {
    std::vector<float> low(x.size());
    float lp = 0;
    const float a = 1 - std::exp(-2 * 3.14159f * 150 / kRate);
    for (std::size_t i = 0; i < x.size(); ++i) low[i] = lp += a * (x[i] - lp);
    const float threshold = peak(low) / 6;
    std::vector<double> at;
    for (std::size_t i = 0, last = 0; i < low.size(); ++i) {
        if (std::fabs(low[i]) < threshold || (!at.empty() && i - last < kRate / 5)) continue;
        at.push_back(static_cast<double>(i) / kRate);
        last = i;
    }
    return at;
}

struct SyncCase {
    double leaderBpm, followerBpm;
    bool keyLock;  // on the follower
    double boundS;  // kicks apart at most; the stretcher smears a kick's attack a few ms earlier
};

}  // namespace

TEST(BeatSync, TheKicksOfBothDecksStayTogetherForAMinute) {
    static const SyncCase kCases[] = {{126, 120, false, 0.005}, {120, 124.5, true, 0.008}, {128, 66, false, 0.005}};
    for (const SyncCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.leaderBpm << " <- " << c.followerBpm << (c.keyLock ? " key lock" : ""));
        const BeatPattern leader{"leader", c.leaderBpm, 0.2, false, 0, 0, 75};
        const BeatPattern follower{"follower", c.followerBpm, 0.37, false, 0, 0, 75};
        const std::string dir = ::testing::TempDir();
        ASSERT_TRUE(writeWav(dir + "sync_leader.wav", makeBeat(leader, kRate), kRate));
        ASSERT_TRUE(writeWav(dir + "sync_follower.wav", makeBeat(follower, kRate), kRate));
        OfflineEngine e;
        audio::Handle h[2];
        for (int d = 0; d < 2; ++d) {
            h[d] = e.engine.createStream(audio::Family::Plain, dir + (d ? "sync_follower.wav" : "sync_leader.wav"), 0);
            ASSERT_NE(h[d], 0u);
            e.waitDecoded(h[d]);
            e.engine.setAttributes(h[d], audio::kKeepFrequency, 100, d ? 100 : -100);  // one deck a side
        }
        e.engine.setKeyLock(h[1], c.keyLock);
        e.engine.play(h[0]);
        e.seconds(1.3);
        e.engine.play(h[1]);
        e.seconds(2.0);

        const auto view = [&](int d, const BeatPattern& p) {
            int frequency = 0;
            e.engine.attributes(h[d], &frequency, nullptr, nullptr);
            return SyncView{p.bpm, p.firstBeatS, frequency / double(kRate),
                            e.engine.bytesToSeconds(h[d], e.engine.position(h[d]))};
        };
        const SyncPlan plan = planSync(view(1, follower), view(0, leader), 1.0, 10.0, 20.0);
        ASSERT_TRUE(plan.refusal.isEmpty()) << plan.refusal.toStdString();
        e.engine.setAttributes(h[1], static_cast<int>(std::lround(plan.rate * kRate)), audio::kKeepVolume,
                               audio::kKeepPan);
        e.engine.setPosition(h[1], e.engine.secondsToBytes(h[1], view(1, follower).positionS + plan.jumpS));
        e.seconds(0.5);

        const Stereo out = e.seconds(60);
        const std::vector<double> left = kicks(channel(out, 0)), right = kicks(channel(out, 1));
        ASSERT_GT(right.size(), 60u);
        double worst = 0;
        for (const double t : right) {
            if (t < 0.3 || t > 59.7) continue;  // a kick cut by the render's edges
            double nearest = 1e9;
            for (const double u : left) nearest = std::min(nearest, std::fabs(u - t));
            worst = std::max(worst, nearest);
        }
        EXPECT_LT(worst, c.boundS) << "kicks apart by " << worst * 1e3 << " ms";
        if (worst >= c.boundS) writeWav(dir + "sync_failed.wav", out, kRate);
    }
}

TEST(BeatSync, RefusesWithAReason) {
    const SyncView song{120, 0, 1, 10};
    const struct {
        SyncView self, other;
        double range;
        const char* reason;  // in the refusal
    } kCases[] = {
        {{0, 0, 1, 10}, song, 10, "this deck's song"},
        {song, {0, 0, 1, 10}, 10, "other deck's song"},
        {song, {135, 0, 1, 10}, 10, "A wider pitch range"},   // +12.5 %: reached at ±15 %
        {song, {150, 0, 1, 10}, 20, "beyond every pitch range"},  // +25 %
    };
    for (const auto& c : kCases) {
        const SyncPlan plan = planSync(c.self, c.other, 1.0, c.range, 20.0);
        EXPECT_TRUE(plan.refusal.contains(QLatin1String(c.reason))) << plan.refusal.toStdString();
    }
}
