#pragma once

#include <functional>
#include <memory>

#include "deck/deck.h"

namespace vx {

// Both decks of the console with what serves them together: the 80 ms display timer
// (tmrTrackLength) with the level meters and the pitch-bend repeat.
class DeckPair {
  public:
    static constexpr int kDisplayIntervalMs = 80;

    DeckPair(audio::SoundLibrary& library, DeckTransport& transport, Dialogs& dialogs, Ticker& ticker,
             Console& console, const DeckSettings& settings);

    Deck& left() { return left_; }
    Deck& right() { return right_; }
    Deck& deck(Side side) { return side == Side::Left ? left_ : right_; }
    Deck& selected() { return console_.selectedDeck == 1 ? right_ : left_; }

    // The mixer values the meters read on every tick.
    void setMixSource(std::function<MeterMix()> source) { mixSource_ = std::move(source); }
    // Runs at the end of every display tick with both progress values (Auto DJ's mix point, the
    // window's refresh).
    void setAfterTick(std::function<void(int leftProgress, int rightProgress)> after) {
        afterTick_ = std::move(after);
    }

    void startDisplay() { displayTimer_->setEnabled(true); }
    void stopDisplay() { displayTimer_->setEnabled(false); }
    void tmrTrackLength_Timer();
    void run_VUmeterTimer();
    // Master meter: bar A the right deck's share, bar B the left deck's.
    const MeterBars& masterMeter() const { return master_; }

    void adjust_EQBandwidth();
    void applySettings();

  private:
    Console& console_;
    Deck left_;
    Deck right_;
    std::function<MeterMix()> mixSource_;
    std::function<void(int, int)> afterTick_;
    std::unique_ptr<Timer> displayTimer_;
    MeterBars master_;
};

}  // namespace vx
