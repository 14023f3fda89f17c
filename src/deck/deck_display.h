#pragma once

#include "deck/deck_context.h"

namespace vx {

// The display values of one deck: time left and progress (with seeking when the user moved the
// progress bar), the song length as the engine learns it, and the deck's level meter.
class DeckDisplay {
  public:
    explicit DeckDisplay(DeckContext& ctx) : ctx_(ctx) {}

    // This deck's part of tmrTrackLength_Timer; lastProgress is taken separately (takeProgress) so
    // that the pair keeps its order.
    void tick();
    void takeProgress() { ctx_.state.lastProgress = ctx_.lcd.progress; }
    // The user dragged the progress bar to `value` (0..100); the next tick seeks there.
    void setProgressByUser(int value);

    // This deck's part of run_VUmeterTimer. Returns the deck's share of the master meter, or -1 when
    // the deck is silent (its bars then keep their values).
    int meterTick(const MeterMix& mix);
    const MeterBars& meter() const { return meter_; }

  private:
    void followLength();

    DeckContext& ctx_;
    MeterBars meter_;
};

}  // namespace vx
