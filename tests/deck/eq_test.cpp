#include "deck_fixture.h"

namespace vx::test {

class Equaliser : public DeckTest {};

// What the bands do to the sound is heard on the real engine; here, that kills and sliders set while the
// equaliser is off are what it builds, and slider moves under a kill count when it lifts.
TEST_F(Equaliser, BandsFollowSlidersAndKillsOnceSwitchedOn) {
    auto& s = load(*left, "a.mp3");
    left->eqKill_Click(2);
    left->eqBand_Change(0, -3);
    EXPECT_TRUE(s.eq.empty());
    left->eq_Click();
    ASSERT_EQ(s.eq.size(), 3u);
    EXPECT_EQ(s.eq[0].gain, -3.0f);
    EXPECT_EQ(s.eq[2].gain, -35.0f);
    left->eqKill_Click(1);
    left->eqBand_Change(1, 12);
    EXPECT_EQ(s.eq[1].gain, -35.0f);
    left->eqKill_Click(1);
    EXPECT_EQ(s.eq[1].gain, 12.0f);
    left->eqBand_Change(0, 40);
    EXPECT_EQ(s.eq[0].gain, 15.0f);  // clamped to the slider's range
}

TEST_F(Equaliser, AnsweringNoKeepsItOnAndYesRemovesIt) {
    auto& s = load(*right, "a.mp3");
    right->eq_Click();
    dialogs.answers = {Dialogs::Answer::No};
    right->eq_Click();
    ASSERT_EQ(dialogs.texts(), (QStringList{"Switch off EQ?"}));
    EXPECT_TRUE(right->eq().on());
    EXPECT_EQ(s.eq.size(), 3u);
    dialogs.answers = {Dialogs::Answer::Yes};
    right->eq_Click();
    EXPECT_FALSE(right->eq().on());
    EXPECT_TRUE(s.eq.empty());
}

TEST_F(Equaliser, LoadRebuildsOnTheNewStreamKeepingSlidersAndKills) {
    load(*left, "a.mp3");
    left->eq_Click();
    left->eqBand_Change(2, 7);
    left->eqKill_Click(0);
    auto& s = load(*left, "b.mp3", {audio::Family::Plain, kTenSeconds, 22050});
    ASSERT_EQ(s.eq.size(), 3u);
    EXPECT_EQ(s.eq[0].gain, -35.0f);
    EXPECT_EQ(s.eq[1].gain, -10.0f);
    EXPECT_EQ(s.eq[2].gain, 7.0f);
    EXPECT_EQ(s.eq[1].sampleRate, 22050u);
}

TEST_F(Equaliser, BandwidthChangeRebuildsOnlyRunningEqualisers) {
    auto& l = load(*left, "a.mp3");
    auto& r = load(*right, "b.mp3");
    left->eq_Click();
    left->eqBand_Change(1, 3);
    settings.eqBandwidth = 3.5f;
    pair->adjust_EQBandwidth();
    EXPECT_EQ(l.eq[1].bandwidth, 3.5f);
    EXPECT_EQ(l.eq[1].gain, 3.0f);
    EXPECT_TRUE(r.eq.empty());
}

}  // namespace vx::test
