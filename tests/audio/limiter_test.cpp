// The output limiter: synthetic signals through the limiter alone, then a quiet stream through the engine.
#include "audio/limiter.h"

#include <cmath>
#include <functional>

#include "audio/offline_engine.h"

using namespace vx;
using namespace vx::test;
using audio::Limiter;

namespace {

constexpr float kThr = Limiter::kThreshold;

// `frames` stereo frames whose left and right samples are left(i) and right(i).
Stereo make(int frames, const std::function<float(int)>& left, const std::function<float(int)>& right) {
    Stereo s(2 * static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        s[2 * i] = left(i);
        s[2 * i + 1] = right(i);
    }
    return s;
}

std::function<float(int)> tone(double hz, double amplitude, int rate) {
    return [=](int i) { return static_cast<float>(amplitude * std::sin(2 * M_PI * hz * i / rate)); };
}

// The signal through a fresh limiter in blocks of `block` frames.
Stereo limit(const Stereo& in, int rate, int block, Limiter* kept = nullptr) {
    Limiter own(rate);
    Limiter& l = kept ? *kept : own;
    Stereo out = in;
    const int frames = static_cast<int>(in.size() / 2);
    for (int done = 0; done < frames; done += block)
        l.process(out.data() + 2 * done, std::min(block, frames - done));
    return out;
}

void keepOnFailure(const char* name, const Stereo& out, int rate) {
    if (::testing::Test::HasFailure())
        writeWav(::testing::TempDir() + "/limiter." + name + ".wav", out, rate);
}

struct Case {
    const char* name;
    int rate;
    std::function<float(int)> left, right;
    bool leftPasses, rightPasses;  // the channel never crosses the threshold: it must come out untouched
};

// Each channel of each signal: below the threshold it leaves bit-identical, `latency()` frames late;
// above it, never past the threshold, never louder than it came in, and held down no more than needed
// (the loudest frame leaves at the threshold within 1 %). The output does not depend on the block size.
TEST(Limiter, KeepsEverySignalUnderTheThresholdAndPassesQuietOnesUntouched) {
    const int r = 44100;
    const auto burst = [](int from, int to, std::function<float(int)> f) {
        return [=](int i) { return i >= from && i < to ? f(i) : 0.0f; };
    };
    const std::vector<Case> cases = {
        {"quiet", r, tone(1000, 0.5, r), tone(440, 0.5, r), true, true},
        {"just_under", r, tone(997, kThr, r), tone(50, -kThr, r), true, true},
        {"two_decks", r, tone(1000, 1.99, r), tone(60, 1.99, r), false, false},
        {"impulse", r, [](int i) { return i == 3000 ? 4.0f : 0.0f; },
         [](int i) { return i == 3001 ? -1.2f : 0.0f; }, false, false},
        {"square_edge", r, burst(2000, 6000, [](int) { return 1.5f; }),
         burst(2000, 6000, [](int) { return -3.0f; }), false, false},
        {"split_cue", r, tone(60, 1.8, r), tone(1000, 0.5, r), false, true},
        {"fm_rate", 22050, tone(1000, 1.9, 22050), tone(100, 0.25, 22050), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int frames = c.rate / 2;
        const Stereo in = make(frames, c.left, c.right);
        Limiter limiter(c.rate);
        const int d = limiter.latency();
        EXPECT_GE(d, 1);
        EXPECT_LE(d, static_cast<int>(0.0015 * c.rate));
        const Stereo out = limit(in, c.rate, 256, &limiter);
        EXPECT_EQ(out, limit(in, c.rate, 1));
        for (int ch = 0; ch < 2; ++ch) {
            SCOPED_TRACE(ch);
            const std::vector<float> x = channel(in, ch), y = channel(out, ch);
            for (int i = 0; i < d; ++i) ASSERT_EQ(y[i], 0.0f);
            float loudest = 0;
            for (int i = d; i < frames; ++i) {
                const float before = x[i - d];
                if (ch == 0 ? c.leftPasses : c.rightPasses) {
                    ASSERT_EQ(y[i], before) << "frame " << i;
                    continue;
                }
                ASSERT_LE(std::fabs(y[i]), kThr) << "frame " << i;
                ASSERT_LE(std::fabs(y[i]), std::fabs(before)) << "frame " << i;
                ASSERT_GE(y[i] * before, 0.0f) << "frame " << i;
                loudest = std::max(loudest, std::fabs(y[i]));
            }
            if (!(ch == 0 ? c.leftPasses : c.rightPasses)) {
                EXPECT_GT(loudest, 0.99f * kThr);
            }
            EXPECT_LE(maxStep(y), maxStep(x));
        }
        keepOnFailure(c.name, out, c.rate);
    }
}

// After an over the gain recovers exponentially: 90 % of the reduction is won back 100-300 ms after the
// last over has passed, and within 1.5 s it is exactly 1 again: the quiet music after it is untouched.
TEST(Limiter, RecoversWithinTheReleaseTimeAndThenPassesBitIdentical) {
    for (int rate : {44100, 22050}) {
        SCOPED_TRACE(rate);
        const int loudEnd = rate / 5;
        const auto f = [=](int i) {
            return static_cast<float>((i < loudEnd ? 2.0 : 0.5) * std::sin(2 * M_PI * 440 * i / rate));
        };
        const Stereo in = make(2 * rate, f, f);  // 0.2 s loud, then 1.8 s at -6 dBFS
        Limiter limiter(rate);
        const int d = limiter.latency();
        Stereo out = in;
        std::vector<float> gains;
        for (std::size_t i = 0; i < in.size() / 2; ++i) {
            limiter.process(out.data() + 2 * i, 1);
            gains.push_back(limiter.gain(0));
        }
        const float deepest = *std::min_element(gains.begin(), gains.end());
        EXPECT_NEAR(deepest, kThr / 2.0f, 0.01f);
        // The last frame that needs holding down leaves at loudEnd + d.
        int recovered = loudEnd + d;
        while (recovered < static_cast<int>(gains.size()) &&
               1.0f - gains[recovered] > 0.1f * (1.0f - deepest))
            ++recovered;
        const double seconds = double(recovered - loudEnd - d) / rate;
        EXPECT_GE(seconds, 0.1);
        EXPECT_LE(seconds, 0.3);
        const auto untouchedFrom = static_cast<std::size_t>(loudEnd + 3 * rate / 2);  // 1.5 s after the over
        EXPECT_EQ(gains.back(), 1.0f);
        for (std::size_t i = untouchedFrom; i < gains.size(); ++i)
            ASSERT_EQ(out[2 * i], in[2 * (i - d)]) << "frame " << i;
        keepOnFailure("release", out, rate);
    }
}

// A stream at -6 dBFS comes out of the engine exactly as with the limiter off, only later by the
// latency the engine reports, and does not count as limited.
TEST(Limiter, TheEnginePassesAQuietStreamBitIdentical) {
    Stereo out[2];
    int latency[2];
    for (bool limiter : {false, true}) {
        OfflineEngine e(44100, limiter);
        e.engine.play(e.open("sine1k_44k.wav"));  // a half-scale tone
        out[limiter] = e.seconds(1.0);
        latency[limiter] = e.engine.outputLatency();
        EXPECT_EQ(e.engine.limitCount(), 0u);
    }
    EXPECT_EQ(latency[0], 0);
    EXPECT_EQ(latency[1], 44);
    ASSERT_GT(peak(out[0]), 0.49f);
    const std::size_t shift = 2 * static_cast<std::size_t>(latency[1]);
    EXPECT_TRUE(std::equal(out[0].begin(), out[0].end() - shift, out[1].begin() + shift));
    for (std::size_t i = 0; i < shift; ++i) ASSERT_EQ(out[1][i], 0.0f);
}

}  // namespace
