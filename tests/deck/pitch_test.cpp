#include "deck_fixture.h"

namespace vx::test {

// The frequencies heard are measured on the real engine and the maths on its own; here, the wiring of
// the controls to the stream, the texts and the lights.
class Pitch : public DeckTest {};

TEST_F(Pitch, SliderSetsFrequencyTextAndZeroLight) {
    auto& s = load(*right, "a.mp3");
    right->pitchSlider_Change(0);
    EXPECT_EQ(s.frequency, 39690);
    EXPECT_EQ(right->lcd().pitchText, " - 10.00%");
    EXPECT_FALSE(right->lights().pitchZeroLit);
    right->pitchZero_Click();
    EXPECT_EQ(s.frequency, 44100);
    EXPECT_TRUE(right->lights().pitchZeroLit);
}

TEST_F(Pitch, EveryPitchChangeTellsEqualiserBandZeroTheNewRate) {
    auto& s = load(*left, "a.mp3");
    left->eq_Click();
    left->pitchSlider_Change(1500);
    ASSERT_EQ(s.eq.size(), 3u);
    EXPECT_EQ(s.eq[0].sampleRate, 46305u);
    EXPECT_EQ(s.eq[1].sampleRate, 44100u);
    EXPECT_EQ(s.eq[0].gain, 5.0f);  // the rest of the block is kept
}

TEST_F(Pitch, BendStepsToTwoPercentBeyondTheSliderAndSpringsBack) {
    auto& s = load(*right, "a.mp3");
    right->pitchSlider_Change(1900);
    right->bendPlus_MouseDown();
    EXPECT_EQ(console.selectedDeck, 1);
    EXPECT_EQ(right->state().pitchValue, 1910);
    pair->startDisplay();
    ticker.advance(80 * 30);
    EXPECT_EQ(right->state().pitchValue, 2100);  // beyond the slider's own range
    EXPECT_EQ(s.frequency, 48951);
    right->bendPlus_MouseUp();
    EXPECT_EQ(right->state().pitchValue, 1900);
    EXPECT_EQ(s.frequency, 48069);

    right->bendMinus_MouseDown();
    ticker.advance(80 * 30);
    EXPECT_EQ(right->state().pitchValue, 1700);
    right->bendMinus_MouseUp();
    EXPECT_EQ(right->state().pitchValue, 1900);
}

// Each 30 ms the brake takes the braking speed off the frequency; the step that would go below zero
// stops the stream and puts the pitch back. Only the left deck's brake selects its deck.
TEST_F(Pitch, BrakeSlowsEvery30msThenStopsAndRestoresThePitch) {
    auto& s = load(*right, "a.mp3");
    right->pitchSlider_Change(1200);  // 44982 Hz
    right->play_Click();
    console.selectedDeck = 0;
    right->stop_MouseDown();
    ticker.advance(30 * 11);  // 44982 - 11 x 4000
    EXPECT_EQ(s.frequency, 982);
    EXPECT_EQ(s.activity, audio::kPlaying);
    int ended = 0;
    right->hooks().brakeEnded = [&] { ++ended; };
    ticker.advance(30);
    EXPECT_EQ(s.activity, audio::kStopped);
    EXPECT_FALSE(right->braking());
    EXPECT_EQ(s.frequency, 44982);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(console.selectedDeck, 0);

    settings.turntableStopSpeed = 50000;  // faster than the rate: stops on the first tick
    auto& l = load(*left, "a.mp3");
    left->play_Click();
    console.selectedDeck = 1;
    left->stop_MouseDown();
    ticker.advance(30);
    EXPECT_EQ(l.activity, audio::kStopped);
    EXPECT_EQ(console.selectedDeck, 0);
}

TEST_F(Pitch, PlayRestoresBothDecksAndEndsABrake) {
    auto& l = load(*left, "a.mp3");
    auto& r = load(*right, "b.mp3");
    right->play_Click();
    right->stop_MouseDown();
    ticker.advance(60);
    EXPECT_LT(r.frequency, 44100);
    left->play_Click();  // restores the left and the right deck's pitch
    EXPECT_EQ(r.frequency, 44100);
    EXPECT_EQ(l.frequency, 44100);
    right->play_Click();
    EXPECT_FALSE(right->braking());
}

}  // namespace vx::test
