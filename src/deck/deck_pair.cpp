#include "deck/deck_pair.h"

namespace vx {

DeckPair::DeckPair(audio::SoundLibrary& library, DeckTransport& transport, Dialogs& dialogs, Ticker& ticker,
                   Console& console, const DeckSettings& settings)
    : console_(console),
      left_(Side::Left, library, transport, dialogs, ticker, console, settings),
      right_(Side::Right, library, transport, dialogs, ticker, console, settings),
      displayTimer_(ticker.createTimer(kDisplayIntervalMs, [this] { tmrTrackLength_Timer(); })) {
    left_.setPartner(&right_);
    right_.setPartner(&left_);
}

void DeckPair::run_VUmeterTimer() {
    const MeterMix mix = mixSource_ ? mixSource_() : MeterMix{};
    const int leftShare = left_.meterTick(mix);
    if (leftShare >= 0) master_.b = leftShare;
    const int rightShare = right_.meterTick(mix);
    if (rightShare >= 0) master_.a = rightShare;
}

void DeckPair::tmrTrackLength_Timer() {
    run_VUmeterTimer();
    if (left_.bendHeld() || right_.bendHeld()) left_.run_pitchTimer_timer();
    left_.displayTick();
    right_.displayTick();
    right_.takeProgress();
    left_.takeProgress();
    if (afterTick_) afterTick_(left_.lcd().progress, right_.lcd().progress);
}

void DeckPair::adjust_EQBandwidth() {
    left_.adjust_EQBandwidth();
    right_.adjust_EQBandwidth();
}

void DeckPair::applySettings() {
    left_.applySettings();
    right_.applySettings();
}

}  // namespace vx
