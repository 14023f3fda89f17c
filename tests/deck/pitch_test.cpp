#include "deck_fixture.h"

namespace vx::test {

class Pitch : public DeckTest {};

TEST_F(Pitch, SliderSetsFrequencyTextAndZeroLight) {
    auto& s = load(*right, "a.mp3");
    right->pitchSlider_Change(0);
    EXPECT_EQ(s.frequency, 39690);
    EXPECT_EQ(right->lcd().pitchText, " - 10.00%");
    EXPECT_FALSE(right->lights().pitchZeroLit);
    right->pitchZero_Click();
    EXPECT_EQ(s.frequency, 44100);
    EXPECT_EQ(right->lcd().pitchText, " 0.00% ");
    EXPECT_TRUE(right->lights().pitchZeroLit);

    settings.pitchRange = 2.0;
    right->pitchSlider_Change(2000);
    EXPECT_EQ(s.frequency, 52920);
    EXPECT_EQ(right->lcd().pitchText, " + 20.00%");
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
    EXPECT_EQ(right->lcd().pitchText, " + 9.00%");
}

TEST_F(Pitch, BaseFrequencyButtonsHalveTheSpeed) {
    auto& s = load(*left, "a.mp3");
    EXPECT_TRUE(left->lights().speed44Lit);
    left->pitchSlider_Change(1100);
    left->speed22_Click();
    EXPECT_TRUE(left->lights().speed22Lit);
    EXPECT_FALSE(left->lights().speed44Lit);
    EXPECT_EQ(s.frequency, 22270);  // 22050 x 1.01 = 22270.5, to even
    left->speed44_Click();
    EXPECT_EQ(s.frequency, 44541);
    EXPECT_EQ(console.selectedDeck, 0);
}

TEST_F(Pitch, BrakeSlowsEvery30msThenStopsAndRestoresThePitch) {
    auto& s = load(*right, "a.mp3");
    right->pitchSlider_Change(1200);  // 44982 Hz
    right->play_Click();
    console.selectedDeck = 0;
    right->stop_MouseDown();
    ticker.advance(30);
    EXPECT_EQ(s.frequency, 40982);
    EXPECT_EQ(s.activity, audio::kPlaying);
    ticker.advance(30 * 9);  // 44982 - 10 x 4000
    EXPECT_EQ(s.frequency, 4982);
    ticker.advance(30);
    EXPECT_EQ(s.frequency, 982);
    EXPECT_TRUE(right->braking());
    int ended = 0;
    right->hooks().brakeEnded = [&] { ++ended; };
    ticker.advance(30);
    EXPECT_EQ(s.activity, audio::kStopped);
    EXPECT_FALSE(right->braking());
    EXPECT_EQ(s.frequency, 44982);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(console.selectedDeck, 0);  // the right deck's brake leaves the selection alone
}

TEST_F(Pitch, BrakeFasterThanTheRateStopsOnTheFirstTickAndLeftBrakeSelectsLeft) {
    settings.turntableStopSpeed = 50000;
    auto& s = load(*left, "a.mp3");
    left->play_Click();
    console.selectedDeck = 1;
    left->stop_MouseDown();
    ticker.advance(30);
    EXPECT_EQ(s.activity, audio::kStopped);
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
