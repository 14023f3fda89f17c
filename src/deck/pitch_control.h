#pragma once

#include <memory>

#include "deck/deck_context.h"
#include "deck/deck_equaliser.h"

namespace vx {

// Pitch slider, pitch bend, the 22/44 kHz base frequency and the turntable stop of one deck.
class PitchControl {
  public:
    static constexpr int kBrakeIntervalMs = 30;
    static constexpr int kBendStep = 10;    // pitch units per bend step (0.1 % times the range)
    static constexpr int kBendReach = 200;  // how far a bend may go from the slider (2 % times the range)

    PitchControl(DeckContext& ctx, DeckEqualiser& eq);

    // changeLpitch / changeRpitch: plays pitchValue on the stream and shows it (text, zero button,
    // equaliser sample rate).
    void changePitch();
    // This deck's share of run_pitchTimer_timer: follows the slider, or runs a held bend one step.
    void pitchTimerStep();

    // The slider moved; returns whether the value changed (only a change is a value event).
    bool setSlider(int value);
    void setBendPlusHeld(bool held) { ctx_.state.bendPlusHeld = held; }
    void setBendMinusHeld(bool held) { ctx_.state.bendMinusHeld = held; }
    bool bendHeld() const { return ctx_.state.bendPlusHeld || ctx_.state.bendMinusHeld; }

    // "Frequency = 22Khz..." / "Frequency = 44Khz...".
    void setBaseFrequency(int hz);
    // After a load: the rate of the new stream is the base, its button lit.
    void takeStreamBase(int hz);
    // Back to zero pitch, applied to the stream even when the slider already sat at zero.
    void resetForLoad();

    // Stop pressed: brake like a switched-off turntable, TurntableStopSpeed Hz less every 30 ms.
    void startBrake();
    void stopBrake();
    bool braking() const { return brakeTimer_->isEnabled(); }
    void brakeTick();  // tmrLTurntableStop / tmrRTurntableStop

  private:
    DeckContext& ctx_;
    DeckEqualiser& eq_;
    std::unique_ptr<Timer> brakeTimer_;
};

}  // namespace vx
