// Loops heard: a loop on the fly repeats exactly the bytes between its two points, however late the
// UI thread's loop timer runs.
#include <algorithm>
#include <cmath>

#include "deck/loop_file.h"
#include "integration/live_console.h"

namespace vx::test {
namespace {

class LoopSignal : public LiveConsole {
  protected:
    // Pink noise: every frame differs, so any frame out of place shows.
    void SetUp() override {
        LiveConsole::SetUp();
        source_ = readWavSamples(fixture("noise_44k.wav"));
        ASSERT_FALSE(source_.empty());
        load(Side::Left, "noise_44k.wav");
        fullLevels();
    }

    // Plays from the start, cues at 0.3 s and loops on the fly at 0.7 s.
    void startLoop() {
        Deck& d = deck(Side::Left);
        d.play_Click();
        play(0.3);
        d.cue_MouseDown();
        d.cue_Click();
        play(0.4);
        d.loop_Click();
        ASSERT_TRUE(d.state().loopActive);
        start_ = d.state().loopStart / 4;
        end_ = d.state().loopEnd / 4;
        here_ = frameOf(Side::Left);
        ASSERT_GT(end_ - start_, kRate / 4);
    }

    // Plays `seconds` and checks that every frame is the source frame the loop puts there, apart from
    // the few milliseconds of crossfade after each wrap; the play position stays inside the loop.
    void expectLoopFor(double seconds, bool ticking, Side side = Side::Left) {
        std::int64_t lowest = end_, highest = 0;
        afterPeriod = [&] {
            const std::int64_t p = frameOf(side);
            lowest = std::min(lowest, p);
            highest = std::max(highest, p);
        };
        const Stereo out = play(seconds, ticking);
        afterPeriod = nullptr;

        const std::int64_t span = end_ - start_;
        const std::int64_t crossfade = kRate * 9 / 1000;
        const std::int64_t late = sound.outputLatency();  // output frame k + late plays frame k
        std::int64_t checked = 0, wrong = 0, firstWrong = -1, wraps = 0;
        for (std::int64_t k = 0; 2 * (k + late) < static_cast<std::int64_t>(out.size()); ++k) {
            std::int64_t f = here_ + k;
            std::int64_t sinceWrap = k < crossfade ? 0 : -1;  // the first frames fade in after a start
            if (f >= end_) {
                sinceWrap = (f - end_) % span;
                f = start_ + sinceWrap;
                if (sinceWrap == 0) ++wraps;
            }
            if (sinceWrap >= 0 && sinceWrap < crossfade) continue;
            for (int ch = 0; ch < 2; ++ch) {
                const float want = source_[static_cast<std::size_t>(2 * f + ch)] / 32768.0f;
                if (std::fabs(out[static_cast<std::size_t>(2 * (k + late) + ch)] - want) > 1e-6f) {
                    if (firstWrong < 0) firstWrong = k;
                    ++wrong;
                }
            }
            ++checked;
        }
        EXPECT_EQ(wrong, 0) << "first wrong frame " << firstWrong << " of " << checked << " checked";
        const std::int64_t total = static_cast<std::int64_t>(out.size()) / 2;
        EXPECT_GE(wraps, (here_ + total - end_) / span);
        EXPECT_GE(lowest, std::min(start_, here_));
        EXPECT_LT(highest, end_) << "played past the loop's end";
        EXPECT_NE(sound.activity(handle(side)), audio::kStopped);
    }

    std::vector<std::int16_t> source_;
    std::int64_t start_ = 0, end_ = 0, here_ = 0;
};

TEST_F(LoopSignal, TenSecondsRepeatExactlyTheLoopedBytes) {
    startLoop();
    expectLoopFor(10.0, true);
}

// The engine wraps by itself: with the UI thread held up for the whole stretch, not one loop timer
// tick runs and the sound is the same.
TEST_F(LoopSignal, LoopNeverPlaysPastItsEndWhenTheLoopTimerIsLate) {
    startLoop();
    expectLoopFor(10.0, false);
}

// Saved on one deck, the loop file of the song plays the same stretch on the other deck.
TEST_F(LoopSignal, BothDecksPlayTheSameSavedLoop) {
    startLoop();
    Deck& left = deck(Side::Left);
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    left.saveLoop_Click();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Loop has been Saved!"));
    left.pause_Click();

    load(Side::Right, "noise_44k.wav");
    fullLevels();
    Deck& right = deck(Side::Right);
    right.play_Click();
    right.playLoop_Click();
    ASSERT_TRUE(right.state().loopActive);
    EXPECT_EQ(right.state().savedLoopStart / 4, start_);
    EXPECT_EQ(right.state().loopEnd / 4, end_);
    // From the song's start into the loop, then round it, the left deck silent meanwhile.
    here_ = frameOf(Side::Right);
    expectLoopFor(3.0, false, Side::Right);
}

// A saved loop chosen while the song is already past its end: it starts from its beginning at once,
// without waiting for the loop timer.
TEST_F(LoopSignal, SavedLoopBehindThePlayPositionStartsFromItsBeginningAtOnce) {
    Deck& d = deck(Side::Left);
    start_ = kRate / 5;
    end_ = kRate / 2;
    ASSERT_FALSE(loopfile::write(d.loopFilePath(), 4 * start_, 4 * end_).has_value());
    d.play_Click();
    play(1.0);
    d.playLoop_Click();
    ASSERT_TRUE(d.state().loopActive);
    ASSERT_TRUE(d.state().savedLoopMode);

    std::int64_t highest = 0;
    afterPeriod = [&] { highest = std::max(highest, frameOf(Side::Left)); };
    const Stereo out = play(0.25, false);
    EXPECT_LT(highest, end_);
    // After the crossfade every frame is the loop's own, counted from its start.
    std::int64_t wrong = 0;
    const std::int64_t late = sound.outputLatency();
    for (std::int64_t k = kRate * 9 / 1000; k + late < kRate / 4; ++k) {
        const float want = source_[static_cast<std::size_t>(2 * (start_ + k))] / 32768.0f;
        if (std::fabs(out[static_cast<std::size_t>(2 * (k + late))] - want) > 1e-6f) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace vx::test
