// The mixer heard: headphone monitoring splits the output, the cut buttons flicker a deck in and out.
#include <vector>

#include "integration/live_console.h"

namespace vx::test {
namespace {

constexpr double kLeftTone = 1000.0;    // the left deck's fixture
constexpr double kRightTone = 10000.0;  // the right deck's fixture

class MixerSignal : public LiveConsole {
  protected:
    void SetUp() override {
        LiveConsole::SetUp();
        load(Side::Left, "sine1k_44k.wav");
        load(Side::Right, "sine10k_44k.wav");
        fullLevels();
        deck(Side::Left).play_Click();
        deck(Side::Right).play_Click();
    }
    // Amplitude of `hz` on output channel `ch`, after the controls' ramps have passed.
    double toneOn(int ch, double hz) {
        play(0.02);
        return goertzelAmplitude(channel(play(0.1), ch), hz, kRate);
    }
};

// In a monitor mode the left output channel carries the monitored deck alone at the headphone level and
// the right channel the mix; stereo puts the mix on both.
TEST_F(MixerSignal, MonitoredDeckIsAloneOnTheLeftChannelAtTheHeadphoneLevel) {
    mixer().setDeckLevel(MixerModel::kLeftDeck, 80);
    mixer().setDeckLevel(MixerModel::kRightDeck, 60);
    mixer().setMonitorLevel(40);
    const double headphones = 0.40 * kHalfScale, left = 0.80 * kHalfScale, right = 0.60 * kHalfScale;
    constexpr double kSilent = 0.001;  // -54 dB below the tones

    mixer().pressMonitor(0);  // left deck
    EXPECT_NEAR(toneOn(0, kLeftTone), headphones, headphones * 0.02);
    EXPECT_LT(toneOn(0, kRightTone), kSilent);
    EXPECT_NEAR(toneOn(1, kLeftTone), left, left * 0.02);
    EXPECT_NEAR(toneOn(1, kRightTone), right, right * 0.02);

    mixer().pressMonitor(1);  // right deck
    EXPECT_LT(toneOn(0, kLeftTone), kSilent);
    EXPECT_NEAR(toneOn(0, kRightTone), headphones, headphones * 0.02);
    EXPECT_NEAR(toneOn(1, kLeftTone), left, left * 0.02);
    EXPECT_NEAR(toneOn(1, kRightTone), right, right * 0.02);

    mixer().pressMonitor(2);  // stereo
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_NEAR(toneOn(ch, kLeftTone), left, left * 0.02) << ch;
        EXPECT_NEAR(toneOn(ch, kRightTone), right, right * 0.02) << ch;
    }
}

// Holding a cut button switches that deck out and in at the cut speed; the other deck plays on
// untouched, and releasing the button brings the crossfader back to the centre.
TEST_F(MixerSignal, CutFlickerAlternatesTheDeckAtTheCutSpeed) {
    // Both decks at 80 %: their sum stays under the output limiter's threshold, so what is measured is
    // the mixer's doing alone.
    mixer().setDeckLevel(MixerModel::kLeftDeck, 80);
    mixer().setDeckLevel(MixerModel::kRightDeck, 80);
    const double level = 0.8 * kHalfScale;
    play(0.1);
    const int speedMs = mixer().cutSpeed();
    ASSERT_GT(speedMs, 0);
    mixer().pressCut(MixerModel::kLeftDeck);

    // One device period at a time: on, off, or a period that ramps between the two.
    std::vector<int> states;
    std::vector<double> others;
    for (int i = 0; i < kRate / kPeriod; ++i) {
        const Stereo out = playFrames(kPeriod);
        const std::vector<float> l = channel(out, 0);
        const double a = goertzelAmplitude(l, kLeftTone, kRate);
        states.push_back(a > 0.9 * level ? 1 : a < 0.02 * level ? 0 : -1);
        others.push_back(goertzelAmplitude(l, kRightTone, kRate));
    }
    // Runs of equal states, the ramp periods between them counted to neither.
    std::vector<std::pair<int, int>> runs;  // state, periods
    for (int s : states) {
        if (s < 0) continue;
        if (!runs.empty() && runs.back().first == s)
            ++runs.back().second;
        else
            runs.push_back({s, 1});
    }
    const double periodMs = 1000.0 * kPeriod / kRate;
    const int expectedRuns = 1000 / speedMs;
    EXPECT_GE(static_cast<int>(runs.size()), expectedRuns - 2);
    EXPECT_LE(static_cast<int>(runs.size()), expectedRuns + 2);
    // A run and the ramp after it last one cut period; the first and last runs are cut by the window.
    for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
        EXPECT_NEAR((runs[i].second + 1) * periodMs, speedMs, periodMs * 1.5) << "run " << i;
    }
    int ramps = 0;
    for (int s : states) ramps += s < 0;
    EXPECT_LE(ramps, static_cast<int>(runs.size()) + 1) << "each switch ramps within one period";
    for (double a : others) EXPECT_NEAR(a, level, level * 0.03);

    mixer().releaseCut();
    EXPECT_EQ(mixer().crossfader(), mixer().crossfaderCentre());
    EXPECT_NEAR(toneOn(0, kLeftTone), level, level * 0.02);
    EXPECT_NEAR(toneOn(0, kRightTone), level, level * 0.02);
}

}  // namespace
}  // namespace vx::test
