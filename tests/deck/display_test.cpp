#include "deck_fixture.h"

namespace vx::test {

class Display : public DeckTest {
  protected:
    void tick() { pair->tmrTrackLength_Timer(); }
};

// Progress and the time left follow the play position, rounded to even; an empty song shows nothing.
TEST_F(Display, ProgressAndTimeLeftFollowTheSong) {
    auto& s = load(*left, "a.mp3");  // 10 s
    const struct {
        std::int64_t position;
        int progress;
        const char* left;
    } rows[] = {{kTenSeconds / 4, 25, "00:00:08"}, {kTenSeconds, 100, "00:00:00"}};
    for (const auto& r : rows) {
        s.position = r.position;
        tick();
        EXPECT_EQ(left->lcd().progress, r.progress);
        EXPECT_EQ(left->lcd().lengthText, r.left);
    }
    load(*right, "empty.mp3", {audio::Family::Plain, 0, 44100});
    tick();
    EXPECT_EQ(right->lcd().progress, 0);
    EXPECT_EQ(right->lcd().lengthText, "00:00:00");
}

TEST_F(Display, DraggingTheProgressBarSeeksOnTheSameTick) {
    auto& s = load(*right, "a.mp3");
    tick();
    right->setProgressByUser(50);
    tick();
    EXPECT_EQ(s.position, kTenSeconds / 2);
    EXPECT_EQ(right->lcd().lengthText, "00:00:05");
    s.position += 44100 * 4;  // the song plays on; the next tick follows it, no further seek
    clearCalls();
    tick();
    EXPECT_EQ(countCalls("setPosition"), 0);
    EXPECT_EQ(right->lcd().progress, 60);

    // The waveform seeks finer than a per cent, even to a place within the per cent already shown.
    right->seekByUser(0.6037);
    EXPECT_NEAR(right->positionS(), 6.037, 1e-3);  // shown at once, not a tick later
    tick();
    EXPECT_NEAR(static_cast<double>(s.position), 0.6037 * kTenSeconds, 4.0);
    EXPECT_EQ(right->lcd().progress, 60);
    clearCalls();
    tick();
    EXPECT_EQ(countCalls("setPosition"), 0);
}

TEST_F(Display, MetersShowDeckVolumeAndMasterShares) {
    auto& l = load(*left, "a.mp3");
    auto& r = load(*right, "b.mp3");
    MeterMix mix;
    mix.crossfader = 100, mix.mainVolume = 50, mix.leftLevel = 50, mix.rightLevel = 100;  // far right
    pair->setMixSource([&] { return mix; });
    l.level = (20000u << 16) | 10000u;  // right 20000, left 10000
    r.level = (8000u << 16) | 8000u;
    pair->run_VUmeterTimer();
    EXPECT_EQ(left->meter(), (MeterBars{10000, 5000}));
    EXPECT_EQ(right->meter(), (MeterBars{8000, 8000}));
    EXPECT_EQ(pair->masterMeter().b, 0);  // the left deck is faded out, its deck meter still moves
    EXPECT_EQ(pair->masterMeter().a, 4000);

    mix.crossfader = 50;
    pair->run_VUmeterTimer();
    EXPECT_EQ(pair->masterMeter().b, 7500);  // 0.5 x 15000 x 1

    l.level = 0;  // a quiet passage freezes the left bars
    l.activity = audio::kPlaying;
    pair->run_VUmeterTimer();
    EXPECT_EQ(left->meter(), (MeterBars{10000, 5000}));
    EXPECT_EQ(pair->masterMeter().b, 7500);

    l.activity = audio::kStopped;  // the song ended: nothing is sent, nothing is shown
    pair->run_VUmeterTimer();
    EXPECT_EQ(left->meter(), (MeterBars{0, 0}));
    EXPECT_EQ(pair->masterMeter().b, 0);
}

TEST_F(Display, AfterTickGetsBothProgressValuesAndDecksWithoutStreamsAreSkipped) {
    load(*right, "a.mp3");
    stream(*right).position = kTenSeconds / 2;
    int seenLeft = -1, seenRight = -1;
    pair->setAfterTick([&](int l, int r) { seenLeft = l, seenRight = r; });
    pair->startDisplay();
    ticker.advance(80);
    EXPECT_EQ(seenLeft, 0);
    EXPECT_EQ(seenRight, 50);
    EXPECT_EQ(left->lcd().lengthText, "");
}

}  // namespace vx::test
