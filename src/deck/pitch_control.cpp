#include "deck/pitch_control.h"

#include <algorithm>

#include "deck/pitch_maths.h"

namespace vx {

PitchControl::PitchControl(DeckContext& ctx, DeckEqualiser& eq)
    : ctx_(ctx), eq_(eq), brakeTimer_(ctx.ticker.createTimer(kBrakeIntervalMs, [this] { brakeTick(); })) {}

void PitchControl::changePitch() {
    DeckState& s = ctx_.state;
    const int frequency = deckmath::pitchFrequency(s.pitchValue, s.baseFrequency, ctx_.settings.pitchRange);
    ctx_.lights.pitchZeroLit = s.pitchValue == deckmath::kPitchCentre;
    ctx_.lcd.pitchText = deckmath::pitchText(s.pitchValue, ctx_.settings.pitchRange);
    if (!ctx_.hasStream()) return;
    ctx_.library.setAttributes(s.streamHandle, frequency, audio::kKeepVolume, audio::kKeepPan);
    eq_.updateSampleRate(frequency);
}

void PitchControl::pitchTimerStep() {
    DeckState& s = ctx_.state;
    const int slider = s.pitchSlider;
    if (s.bendPlusHeld) {
        if (slider + kBendReach > s.pitchValue) s.pitchValue += kBendStep;
        changePitch();
        s.lastPitchSlider = s.pitchValue;
    } else if (s.bendMinusHeld) {
        if (slider - kBendReach < s.pitchValue) s.pitchValue -= kBendStep;
        changePitch();
        s.lastPitchSlider = s.pitchValue;
    } else if (slider != s.lastPitchSlider) {
        s.pitchValue = slider;
        changePitch();
        s.lastPitchSlider = slider;
    }
}

bool PitchControl::setSlider(int value) {
    value = std::clamp(value, 0, deckmath::kPitchMax);
    if (value == ctx_.state.pitchSlider) return false;
    ctx_.state.pitchSlider = value;
    return true;
}

void PitchControl::setBaseFrequency(int hz) {
    ctx_.select();
    takeStreamBase(hz);
    if (!ctx_.state.fileName.isEmpty()) changePitch();
}

void PitchControl::takeStreamBase(int hz) {
    ctx_.state.baseFrequency = hz;
    ctx_.lights.speed44Lit = hz >= 44100;
    ctx_.lights.speed22Lit = !ctx_.lights.speed44Lit;
}

void PitchControl::resetForLoad() {
    DeckState& s = ctx_.state;
    s.pitchSlider = s.pitchValue = s.lastPitchSlider = deckmath::kPitchCentre;
    s.bendPlusHeld = s.bendMinusHeld = false;
    changePitch();
}

void PitchControl::startBrake() {
    brakeTimer_->setEnabled(true);
}

void PitchControl::stopBrake() {
    brakeTimer_->setEnabled(false);
}

void PitchControl::brakeTick() {
    // The left deck's brake claims the console's deck selection on every tick; the right one does not.
    if (ctx_.side == Side::Left) ctx_.select();
    if (!ctx_.hasStream()) {
        stopBrake();
        return;
    }
    const int frequency = ctx_.frequency();
    const int step = ctx_.settings.turntableStopSpeed;
    if (frequency > step) {
        ctx_.library.setAttributes(ctx_.state.streamHandle, frequency - step, audio::kKeepVolume,
                                   audio::kKeepPan);
        return;
    }
    ctx_.library.stopChannel(ctx_.state.streamHandle);
    stopBrake();
    // A deck paused while braking is stopped now; Play starts it from the cue point again.
    ctx_.state.isPaused = false;
    ctx_.lcd.pause = false;
    changePitch();
    if (ctx_.hooks.brakeEnded) ctx_.hooks.brakeEnded();
}

}  // namespace vx
