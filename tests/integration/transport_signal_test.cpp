// Transport heard: braking slows the song down smoothly to a halt, and cue stutter and Play on a playing
// deck jump without a click while the other deck plays on without a gap.
#include <cmath>
#include <numbers>

#include "integration/live_console.h"

namespace vx::test {
namespace {

// Largest sample step of a tone at full speed: a click is a step far above it.
double naturalStep(double hz, double amplitude) {
    return 2 * std::numbers::pi * hz / 44100.0 * amplitude;
}

// Frequencies of successive whole cycles (between positive-going zero crossings) up to where the sound
// ends (a tone stopped at 0 makes no cycle).
std::vector<double> cycleFrequencies(const std::vector<float>& x, int rate) {
    std::vector<double> out;
    double last = -1;
    std::size_t end = x.size();
    while (end > 0 && x[end - 1] == 0.0f) --end;
    for (std::size_t i = 1; i < end; ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            const double t = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (last >= 0) out.push_back(rate / (t - last));
            last = t;
        }
    }
    return out;
}

// Every window of one cycle of a steady tone reaches its amplitude: a gap or a dip shows as a window
// that does not.
double lowestCyclePeak(const std::vector<float>& x, int cycleFrames) {
    double lowest = 1e9;
    for (std::size_t i = 0; i + cycleFrames <= x.size(); i += cycleFrames) {
        float p = 0;
        for (int k = 0; k < cycleFrames; ++k) p = std::max(p, std::fabs(x[i + k]));
        lowest = std::min<double>(lowest, p);
    }
    return lowest;
}

using TransportSignal = LiveConsole;

// Stop brakes with a frequency step every 30 ms: the pitch falls cycle by cycle, never rises, never
// drops by more than one step, and the tone ends without a click; the stopped deck has its playing
// frequency back and the next Play sounds at pitch.
TEST_F(TransportSignal, BrakingFallsSmoothlyToAHaltAndRestoresThePitch) {
    load(Side::Left, "sine1k_44k.wav");
    fullLevels();
    Deck& d = deck(Side::Left);
    d.play_Click();
    play(0.2);
    d.stop_MouseDown();
    const Stereo out = play(0.6);
    const std::vector<float> l = channel(out, 0);

    EXPECT_EQ(sound.activity(handle(Side::Left)), audio::kStopped);
    EXPECT_FALSE(d.braking());
    EXPECT_LT(peak(channel(out, 0, out.size() / 2 - kRate / 10)), 1e-6f) << "silent once stopped";
    int frequency = 0;
    ASSERT_TRUE(sound.attributes(handle(Side::Left), &frequency, nullptr, nullptr));
    EXPECT_EQ(frequency, 44100);

    const std::vector<double> cycles = cycleFrequencies(l, kRate);
    ASSERT_GT(cycles.size(), 20u);
    EXPECT_NEAR(cycles.front(), 1000.0, 2.0);
    const double stepHz = 1000.0 * 4000 / 44100;  // one braking step of the default braking speed
    for (std::size_t i = 1; i < cycles.size(); ++i) {
        EXPECT_LE(cycles[i], cycles[i - 1] + 1.0) << "cycle " << i << " rises";
        EXPECT_GE(cycles[i], cycles[i - 1] - stepHz * 1.05) << "cycle " << i << " drops by more than a step";
    }
    EXPECT_LT(cycles.back(), 200.0);
    EXPECT_LT(maxStep(l), naturalStep(1000, kHalfScale) * 1.05);

    d.play_Click();
    play(0.05);
    EXPECT_NEAR(zeroCrossingHz(channel(play(0.2), 0), kRate), 1000.0, 0.5);
}

class JumpSignal : public LiveConsole {
  protected:
    // The left deck plays a slow tone, alone on the right channel, where any jump not crossfaded stands
    // out; the right deck plays 1 kHz alone on the left channel.
    void SetUp() override {
        LiveConsole::SetUp();
        load(Side::Left, "sine50_44k.wav");
        load(Side::Right, "sine1k_44k.wav");
        splitDecks();
        deck(Side::Right).play_Click();
        deck(Side::Left).play_Click();
        play(0.1);
        jumps_ = 0;
        last_ = frameOf(Side::Left);
        afterPeriod = [this] {
            const std::int64_t p = frameOf(Side::Left);
            if (p < last_) ++jumps_;
            last_ = p;
        };
    }
    void expectClickFreeAndNoGap(const Stereo& out) {
        EXPECT_LT(maxStep(channel(out, 1)), 0.012) << "click on the jumping deck";  // its own: 0.0036
        EXPECT_LT(maxStep(channel(out, 0)), naturalStep(1000, kHalfScale) * 1.05);
        EXPECT_GT(lowestCyclePeak(channel(out, 0), 45), 0.98 * kHalfScale) << "gap in the other deck";
    }

    int jumps_ = 0;
    std::int64_t last_ = 0;
};

// Cued, the deck stutters on its cue point (the forward edit moving it on), one jump per stutter tick.
TEST_F(JumpSignal, CueStutterIsClickFree) {
    Deck& d = deck(Side::Left);
    play(0.2);
    d.cue_MouseDown();
    d.cue_Click();
    play(0.3);
    d.play_RightClick();
    d.cueForward_MouseDown();
    Stereo out = play(0.5);
    d.cueForward_MouseUp();
    const Stereo more = play(0.5);
    out.insert(out.end(), more.begin(), more.end());
    EXPECT_GE(jumps_, 10);
    expectClickFreeAndNoGap(out);
    d.play_Click();
    EXPECT_FALSE(d.stutterRunning());
}

// Play on a playing deck goes back to the cue point at once.
TEST_F(JumpSignal, PlayOnAPlayingDeckJumpsToTheCuePointWithoutAGapInTheOtherDeck) {
    Deck& d = deck(Side::Left);
    play(0.2);
    d.cue_MouseDown();
    d.cue_Click();
    const std::int64_t cue = d.state().cuePoint / 4;
    Stereo out = play(0.37);
    for (int i = 0; i < 3; ++i) {
        d.play_Click();
        const Stereo after = play(0.3);
        out.insert(out.end(), after.begin(), after.end());
        EXPECT_NEAR(static_cast<double>(frameOf(Side::Left) - cue), 0.3 * kRate, kPeriod + 1);
    }
    EXPECT_EQ(jumps_, 3);
    expectClickFreeAndNoGap(out);
}

}  // namespace
}  // namespace vx::test
