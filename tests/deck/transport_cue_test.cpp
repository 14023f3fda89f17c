#include "deck_fixture.h"

namespace vx::test {

class TransportCue : public DeckTest {};

TEST_F(TransportCue, CueHistoryLightsPlayPreviousCueOnlyForTheFirstRealCue) {
    auto& s = load(*right, "a.mp3");
    right->play_Click();
    s.position = 4000;
    right->cue_MouseDown();
    EXPECT_EQ(right->state().prevCuePoint, 1);
    EXPECT_EQ(right->state().cuePoint, 4000);
    EXPECT_TRUE(right->lights().playCueLit);
    EXPECT_TRUE(right->lcd().cue);
    right->cue_Click();
    EXPECT_FALSE(right->lcd().cue);
    s.position = 8000;
    right->cue_MouseDown();
    EXPECT_EQ(right->state().olderCuePoint, 1);
    EXPECT_EQ(right->state().prevCuePoint, 4000);
    EXPECT_EQ(right->state().cuePoint, 8000);

    // Play previous Cue-point on a playing deck jumps to the previous cue
    s.position = 20000;
    right->playCue_Click();
    EXPECT_EQ(s.position, 4000);

    // After a reset (cue 0) the next cue shifts the history and changes no light.
    auto& t = load(*left, "b.mp3");
    EXPECT_FALSE(left->lights().playCueLit);
    left->resetCue_Click();
    EXPECT_EQ(left->state().cuePoint, 0);
    EXPECT_EQ(left->state().prevCuePoint, 1);
    EXPECT_EQ(t.activity, audio::kPlaying);
    t.position = 1200;
    left->cue_MouseDown();
    EXPECT_FALSE(left->lights().playCueLit);
    EXPECT_EQ(left->state().olderCuePoint, 1);
    EXPECT_EQ(left->state().prevCuePoint, 0);
}

TEST_F(TransportCue, CueAtTheEndStoresOneAndPausedCueKeepsHistory) {
    auto& s = load(*left, "a.mp3");
    left->play_Click();
    s.position = s.length;
    left->cue_MouseDown();
    EXPECT_EQ(left->state().cuePoint, 1);

    s.position = 6000;
    left->pause_Click();
    const auto prev = left->state().prevCuePoint;
    s.position = 7000;
    left->cue_MouseDown();
    EXPECT_EQ(left->state().cuePoint, 7000);
    EXPECT_EQ(left->state().prevCuePoint, prev);
}

TEST_F(TransportCue, PauseOnlyPausesAPlayingDeckAndPlayResumesWhereItPaused) {
    auto& s = load(*left, "a.mp3");
    left->pause_Click();
    EXPECT_FALSE(left->state().isPaused);
    left->play_Click();
    s.position = 50000;
    left->pause_Click();
    EXPECT_TRUE(left->state().isPaused);
    EXPECT_TRUE(left->lcd().pause);
    left->pause_Click();  // twice does not resume
    EXPECT_EQ(s.activity, audio::kPaused);
    left->playCue_Click();  // resumes where it paused, not at the previous cue
    EXPECT_EQ(s.activity, audio::kPlaying);
    EXPECT_EQ(s.position, 50000);
    EXPECT_FALSE(left->state().isPaused);
    EXPECT_FALSE(left->lcd().pause);
}

TEST_F(TransportCue, RightClickCuesAndEditButtonsStutterAndWrap) {
    auto& s = load(*right, "a.mp3");
    right->cueForward_MouseDown();  // neither cued nor looping: nothing
    EXPECT_FALSE(right->state().cueForwardHeld || right->stutterRunning());
    right->play_Click();
    s.position = 30000;
    right->play_RightClick();
    EXPECT_TRUE(right->state().isCued);
    EXPECT_EQ(s.activity, audio::kStopped);
    EXPECT_EQ(s.position, 0);
    EXPECT_TRUE(right->lcd().cue);
    EXPECT_FALSE(right->lcd().play);
    EXPECT_FALSE(right->stutterRunning());

    right->cueBack_MouseDown();  // at the start: stays at 1
    EXPECT_TRUE(right->stutterRunning());
    EXPECT_EQ(s.activity, audio::kPlaying);
    EXPECT_EQ(right->lcd().cueEditArrow, EditArrow::Back);
    ticker.advance(settings.stutteringSpeed * 3);
    EXPECT_EQ(right->state().cuePoint, 1);
    right->cueBack_MouseUp();
    EXPECT_EQ(right->lcd().cueEditArrow, EditArrow::None);

    right->cueForward_MouseDown();
    right->cueTimer_Timer();
    right->cueTimer_Timer();
    EXPECT_EQ(right->state().cuePoint, 1001);
    EXPECT_EQ(s.position, 1000);
    right->cueForward_MouseUp();
    s.position = 9999;
    right->cueTimer_Timer();  // still stutters on the cue point after release
    EXPECT_EQ(s.position, 1000);

    right->play_Click();
    EXPECT_FALSE(right->state().isCued);
    EXPECT_FALSE(right->stutterRunning());

    // forward past the end of a short song wraps to 1
    load(*left, "short.mp3", {audio::Family::Plain, 2400, 44100});
    left->play_RightClick();
    left->cueForward_MouseDown();
    for (int i = 0; i < 4; ++i) left->cueTimer_Timer();
    EXPECT_EQ(left->state().cuePoint, 2001);
    left->cueTimer_Timer();  // 2501 is past the end
    EXPECT_EQ(left->state().cuePoint, 1);
}

TEST_F(TransportCue, FailedStartShowsTheErrorBoxWithTheFailureCode) {
    load(*left, "a.mp3");
    lib.streams.erase(left->state().streamHandle);  // the engine lost the stream
    lib.errorCode = audio::kErrHandle;
    left->play_Click();
    EXPECT_EQ(dialogs.texts(), QStringList{"Can't play file. Please choose another file...\r\n\r\nError Code : 5"});
}

TEST_F(TransportCue, PlayOnAnEmptyDeckLoadsThePlaylistEntryOrAsksForAFile) {
    const QString path = song("next.mp3");
    left->hooks().playlistPath = [&] { return path; };
    left->play_Click();
    EXPECT_EQ(left->state().fileName, path);
    EXPECT_EQ(stream(*left).activity, audio::kPlaying);

    int asked = 0;
    right->hooks().playlistPath = [] { return QString(); };
    right->hooks().addSongs = [&] { return ++asked, QString(); };
    right->play_Click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(right->state().streamHandle, 0u);
}

TEST_F(TransportCue, StopBrakesThenPlayStartsFromTheCuePoint) {
    auto& s = load(*left, "a.mp3");
    left->play_Click();
    s.position = 90000;
    left->stop_MouseDown();
    EXPECT_TRUE(left->lcd().stop);
    ticker.advance(30 * 20);
    left->play_Click();
    EXPECT_EQ(s.position, 0);
    EXPECT_TRUE(left->lcd().play);
    EXPECT_FALSE(left->lcd().stop);
}

TEST_F(TransportCue, AppliedOptionsChangeStutterSpeedAndPitchRange) {
    auto& s = load(*left, "a.mp3");
    left->pitchSlider_Change(0);
    settings.stutteringSpeed = 100;
    settings.pitchRange = 2.0;
    pair->applySettings();
    EXPECT_EQ(s.frequency, 35280);  // 44100 x 0.8
    EXPECT_EQ(left->lcd().pitchText, " - 20.00%");
    left->play_RightClick();
    left->cueForward_MouseDown();
    ticker.advance(99);
    EXPECT_EQ(left->state().cuePoint, 1);
    ticker.advance(1);
    EXPECT_EQ(left->state().cuePoint, 501);
}

}  // namespace vx::test
