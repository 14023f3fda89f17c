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
    // The user chose a place (0..1 of the song) finer than a per cent; the next tick seeks there.
    void setPositionByUser(double fraction);
    // The place chosen that the next tick seeks to (0..1 of the song), or -1.
    double chosenFraction() const { return chosenFraction_; }
    // A new song: a place chosen in the old one is forgotten.
    void resetForLoad() { chosenFraction_ = -1; }

    // This deck's part of run_VUmeterTimer. Returns the deck's share of the master meter, or -1 when
    // the deck is silent (its bars then keep their values).
    int meterTick(const MeterMix& mix);
    const MeterBars& meter() const { return meter_; }

  private:
    void followLength();

    DeckContext& ctx_;
    MeterBars meter_;
    double chosenFraction_ = -1;  // a place the user chose and the next tick seeks to; -1 none
};

}  // namespace vx
