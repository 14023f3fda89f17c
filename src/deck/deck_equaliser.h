#pragma once

#include <array>

#include "deck/deck_context.h"

namespace vx {

// The deck's three-band equaliser controls (bass 100 Hz, mid 1 kHz, high 10 kHz) and the peaking
// effect they keep on the deck's stream. Gains are meaning in dB; the window's downward slider maps
// its position v (0..30) to 15 - v dB with gainFromSlider.
class DeckEqualiser {
  public:
    static constexpr int kBands = 3;
    static constexpr std::array<float, kBands> kCentres{100.0f, 1000.0f, 10000.0f};
    static constexpr int kKillGainDb = -35;  // a killed band sits as low as a slider at 50
    static int gainFromSlider(int sliderValue) { return 15 - sliderValue; }
    static int sliderFromGain(int gainDb) { return 15 - gainDb; }

    explicit DeckEqualiser(DeckContext& ctx) : ctx_(ctx) {}

    bool on() const { return ctx_.state.eqOn; }
    bool killed(int band) const { return killed_.at(band); }
    int gainDb(int band) const { return gains_.at(band); }

    // "Equalizer ON/OFF": on switches the effect in with every band's setting; off asks first.
    void cmdEQ_Click();
    // Kill button of a band: toggles; with the equaliser on the sound follows at once.
    void kill_Click(int band);
    // A band slider moved (dB, clamped to -15..15): heard only while the equaliser is on and the band
    // is not killed.
    void setBandGain(int band, int gainDb);

    // A new stream: rebuilds the effect when the equaliser is on, else makes sure none is left on it.
    void rebuildForLoad();
    // The bandwidth option changed: a running equaliser is rebuilt with it.
    void adjust_EQBandwidth();
    // The stream's playback frequency changed: band 0 learns the new sample rate (on or off).
    void updateSampleRate(int frequency);

    // Removes the effect and places three bands at `sampleRate` with gain 0.
    void init_EQ(int sampleRate);
    // Reads band `band` back from the stream, gives it `gainDb` and writes it.
    void setBand(int band, int gainDb);

  private:
    void applyAllBands();
    int effectiveGain(int band) const { return killed_[band] ? kKillGainDb : gains_[band]; }

    DeckContext& ctx_;
    std::array<bool, kBands> killed_{false, false, false};
    std::array<int, kBands> gains_{5, -10, 5};  // slider positions 10, 25, 10
};

}  // namespace vx
