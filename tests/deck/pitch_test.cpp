#include "deck_fixture.h"

namespace vx::test {

// The frequencies heard are measured on the real engine and the maths on its own; here, what only the
// model decides.
class Pitch : public DeckTest {};

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

// The slowing down is heard on the real engine; here, that the stop puts the pitched frequency back, ends
// through its hook, and that only the left deck's brake selects its deck.
TEST_F(Pitch, BrakeStopsRestoresThePitchAndSelectsOnlyTheLeftDeck) {
    const struct {
        Deck* deck;
        int stopSpeed, ticks, selectedBefore;
    } rows[] = {{right, 4000, 12, 0},   // 44982 Hz less 11 steps, stopped on the 12th tick
                {left, 50000, 1, 1}};  // faster than the rate: stopped on the first tick
    for (const auto& r : rows) {
        settings.turntableStopSpeed = r.stopSpeed;
        auto& s = load(*r.deck, "a.mp3");
        r.deck->pitchSlider_Change(1200);  // 44982 Hz
        r.deck->play_Click();
        console.selectedDeck = r.selectedBefore;
        int ended = 0;
        r.deck->hooks().brakeEnded = [&] { ++ended; };
        r.deck->stop_MouseDown();
        ticker.advance(30 * (r.ticks - 1));
        EXPECT_EQ(s.activity, audio::kPlaying);  // the last step is still to come
        ticker.advance(30);
        EXPECT_EQ(s.activity, audio::kStopped);
        EXPECT_FALSE(r.deck->braking());
        EXPECT_EQ(s.frequency, 44982);
        EXPECT_EQ(ended, 1);
        EXPECT_EQ(console.selectedDeck, 0);
    }
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
