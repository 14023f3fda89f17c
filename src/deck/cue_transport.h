#pragma once

#include <functional>
#include <memory>

#include "deck/deck_context.h"
#include "deck/loop_control.h"
#include "deck/pitch_control.h"

namespace vx {

// Play, pause, stop, the cue point with its two-deep history, the cue-edit buttons and the cue
// stutter of one deck.
class CueTransport {
  public:
    static constexpr int kCueStep = 500;  // bytes per stutter tick while an edit button is held

    // `restoreBothPitches` runs the pitch routines of the left and then the right deck.
    CueTransport(DeckContext& ctx, PitchControl& pitch, LoopControl& loop,
                 std::function<void()> restoreBothPitches);

    // Play on a paused deck resumes; otherwise both decks get their pitch back and this deck plays
    // from its cue point (a playing deck jumps back to it).
    void play_now();
    // Play, right click: stops at the cue point, cued.
    void cueStop();
    // Pause: only a playing deck pauses.
    void pause();
    // Stop, pressed: the turntable brake.
    void stopPress();
    // Cue, pressed: the current position becomes the cue point (the old one goes into the history).
    void run_cue_mousedown();
    // Cue, released: the loop button is usable again and a saved loop becomes an on-the-fly loop.
    void run_cue_click();
    // Edit cue point: back / forward, pressed and released.
    void editPress(bool forward);
    void editRelease(bool forward);
    // tmrLcue / tmrRcue.
    void stutterTick();
    // "Play previous Cue-point".
    void playPreviousCue();
    // "Re-set Cuepoint": the cue point becomes 0 and the deck plays from the start.
    void resetCue();

    // Ends a stutter (Play, Play previous Cue-point, a load).
    void endCued();
    bool stutterRunning() const { return stutterTimer_->isEnabled(); }
    void setStutterInterval(int ms) { stutterTimer_->setInterval(ms); }
    // A load: transport flags back to rest.
    void resetForLoad();

  private:
    void seekAndPlay(std::int64_t where);
    void resumeFromPause();  // resume the paused stream where it stopped
    void lightPlay();

    DeckContext& ctx_;
    PitchControl& pitch_;
    LoopControl& loop_;
    std::function<void()> restoreBothPitches_;
    std::unique_ptr<Timer> stutterTimer_;
};

}  // namespace vx
