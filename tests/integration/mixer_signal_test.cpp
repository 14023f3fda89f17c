// The mixer heard: headphone monitoring splits the output, the cut buttons flicker a deck in and out,
// the output limiter keeps two loud decks within full scale.
#include <cmath>

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

    // Per monitor button (left deck, right deck, stereo): each channel's left and right tone; 0: silent.
    const double heard[3][2][2] = {{{headphones, 0}, {left, right}},
                                   {{0, headphones}, {left, right}},
                                   {{left, right}, {left, right}}};
    for (int button = 0; button < 3; ++button) {
        mixer().pressMonitor(button);
        for (int ch = 0; ch < 2; ++ch) {
            for (int tone = 0; tone < 2; ++tone) {
                const double got = toneOn(ch, tone ? kRightTone : kLeftTone), want = heard[button][ch][tone];
                if (want == 0) EXPECT_LT(got, kSilent) << button << ch << tone;
                else EXPECT_NEAR(got, want, want * 0.02) << button << ch << tone;
            }
        }
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

class Headroom : public LiveConsole {
  protected:
    // Both decks playing a full-scale 1 kHz tone at unity gain, in phase: twice full scale summed.
    void playTwoFullScaleDecks() {
        const std::string loud = dir.filePath("full1k.wav").toStdString();
        Stereo tone(2 * 2 * kRate);
        for (std::size_t i = 0; i < tone.size(); ++i)
            tone[i] = static_cast<float>(std::sin(2 * M_PI * 1000 * (i / 2) / kRate));
        ASSERT_TRUE(writeWav(loud, tone, kRate));
        loadPath(Side::Left, loud);
        loadPath(Side::Right, loud);
        fullLevels();
        EXPECT_FALSE(mixer().limitLit());
        deck(Side::Left).play_Click();
        deck(Side::Right).play_Click();
    }
};

// Two full-scale decks at unity with the crossfader centred sum to twice full scale: the output stays
// within [-1, 1], steps no more than a full-scale tone of its own, and the master meters' light comes on
// and holds about a second after the last over.
TEST_F(Headroom, TwoFullScaleDecksStayWithinFullScaleAndLightTheLimitLight) {
    playTwoFullScaleDecks();
    const Stereo out = play(1.0);
    const float ownStep = static_cast<float>(2 * M_PI * 1000 / kRate);
    for (int ch = 0; ch < 2; ++ch) {
        const std::vector<float> x = channel(out, ch);
        EXPECT_LE(peak(x), 1.0f) << ch;
        EXPECT_GT(peak(x), 0.85f) << ch;
        EXPECT_LE(maxStep(x), 1.5f * ownStep) << ch;
    }
    EXPECT_TRUE(mixer().limitLit());

    deck(Side::Left).pause_Click();
    deck(Side::Right).pause_Click();
    play(0.8);
    EXPECT_TRUE(mixer().limitLit());
    play(0.5);
    EXPECT_FALSE(mixer().limitLit());
}

// With the setting `Limiter` at 0 the engine starts without the limiter: no delay, overs are cut at
// full scale, and the light shows the clipping.
class HeadroomOff : public Headroom {
  protected:
    void SetUp() override {
        store.write("Limiter", "0");
        Headroom::SetUp();
    }
};

TEST_F(HeadroomOff, OversAreClippedAtFullScaleAndLightTheLight) {
    EXPECT_EQ(sound.outputLatency(), 0);
    playTwoFullScaleDecks();
    const Stereo out = play(0.5);
    EXPECT_EQ(peak(channel(out, 0)), 1.0f);
    EXPECT_TRUE(mixer().limitLit());
}

}  // namespace
}  // namespace vx::test
