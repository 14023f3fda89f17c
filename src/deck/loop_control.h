#pragma once

#include <memory>

#include "deck/deck_context.h"

namespace vx {

// Loops of one deck: on the fly from the cue point, saved to and played from the song's loop file,
// trimmed by the cue-edit buttons. The engine wraps the region sample-accurately; the 20 ms loop timer
// is the backstop for positions the engine cannot wrap (already past the end, or ended at 0).
class LoopControl {
  public:
    static constexpr int kLoopIntervalMs = 20;
    static constexpr int kTrimStep = 250;  // bytes per stutter tick

    explicit LoopControl(DeckContext& ctx);

    // "Loop - on the fly...": loops from the cue point to here, or switches a loop off.
    void loopCB_Click();
    // Switches the loop on (region from the state) or off.
    void loopit();
    // tmrLLoop / tmrRLoop.
    void loopTick();
    // "Save loop...": asks, then writes the running loop to the song's loop file.
    void saveLoop_Click();
    // "Play - Saved loop": reads the song's loop file and loops it (or ends a running loop).
    void playLoop_Click();

    // Cue released: a saved loop goes on as an on-the-fly loop over the same stretch.
    void clearSavedMode();
    // One trim step of the loop end while a cue-edit button is held (forward or back).
    void trimEnd(bool forward, bool back);
    // A load: no loop, loop buttons back to their resting states.
    void resetForLoad();

    QString loopFilePath() const;
    bool timerRunning() const { return timer_->isEnabled(); }

  private:
    void switchOff();
    void showLoopEndTime();

    DeckContext& ctx_;
    std::unique_ptr<Timer> timer_;
};

}  // namespace vx
