#pragma once

#include <functional>
#include <memory>

#include "audio/sound_library.h"
#include "mixer/limit_light.h"
#include "mixer/mix_maths.h"
#include "services/ticker.h"

namespace vx {

// The mixer between the decks: a level per deck, the crossfader with its two cut buttons, the main
// volume, the headphone level and the three monitor buttons. It owns the cut-flicker timer and is the
// one place that gives both deck streams their volume and pan (runVolumeTimer).
//
// Values are meaning: levels 0..sliderMax, loudest at sliderMax. The window turns positions of its
// downward-growing sliders into levels with mixer::levelFromDownwardSlider.
class MixerModel {
  public:
    static constexpr int kLeftDeck = 0;
    static constexpr int kRightDeck = 1;
    static constexpr int kDefaultCutSpeedMs = 60;
    static constexpr int kLimitHoldTicks = 13;  // about 1 s of display ticks

    // The current stream of deck 0 (left) or 1 (right); 0 when the deck has none.
    using StreamSource = std::function<audio::Handle(int deck)>;

    MixerModel(audio::SoundLibrary& library, Ticker& ticker, int sliderMax = 100);
    ~MixerModel();
    MixerModel(const MixerModel&) = delete;
    MixerModel& operator=(const MixerModel&) = delete;

    void setStreamSource(StreamSource source) { streams_ = std::move(source); }
    // Told the deck a cut button selects (the console's selectedDeck follows it).
    void setSelectDeckHandler(std::function<void(int deck)> handler) { selectDeck_ = std::move(handler); }
    // Called after any value the window shows has changed (sliders, levels, lit buttons), including
    // the changes the cut timer makes by itself.
    void setChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }

    // Start-up: the crossfader to the centre, the main volume to half, monitor mode 1, then the Stereo
    // button pressed (mode 3) so both streams get their mix.
    void startUp();

    int sliderMax() const { return sliderMax_; }
    int crossfaderCentre() const { return crossfaderCentre_; }

    // Every control change recomputes and applies the mix. Values are clamped to 0..sliderMax.
    void setDeckLevel(int deck, int level);
    // A song coming into a deck: its fader goes to half its travel.
    void setDeckLevelToHalf(int deck);
    int deckLevel(int deck) const { return deck == kLeftDeck ? leftLevel_ : rightLevel_; }
    void setCrossfader(int value);
    int crossfader() const { return crossfader_; }
    void setMainVolume(int value);
    int mainVolume() const { return mainVolume_; }
    void setMonitorLevel(int level);
    int monitorLevel() const { return monitorLevel_; }

    // Monitor buttons 0 "left deck", 1 "right deck", 2 "stereo": the mode becomes index + 1 and only the
    // pressed button is lit. Before the first press no button is lit (litMonitorButton() is -1).
    void pressMonitor(int index);
    int monitorMode() const { return monitorMode_; }
    int litMonitorButton() const { return litMonitor_; }
    bool monitorButtonLit(int index) const { return index == litMonitor_; }

    // Crossfader cut: while a cut button is held the deck of its side is switched out and in every
    // cut-speed milliseconds; releasing either button leaves the crossfader at the centre.
    void pressCut(int deck);
    void releaseCut();
    void cutTick();  // one flicker step (tmrXfader)
    bool cutRunning() const;
    int cutDeck() const { return cutDeck_; }
    void setCutSpeed(int milliseconds);
    int cutSpeed() const;

    // Recomputes both decks' output levels and gives each deck's stream its volume and pan; where the
    // headphones have an output of their own, also tells the library which deck they hear. Run it again
    // after the headphones' route changes.
    void runVolumeTimer();
    int leftOutputLevel() const { return levels_.left; }
    int rightOutputLevel() const { return levels_.right; }
    // The master meters' clip/limit light: one display tick reads the output's limit count. A change of
    // the light is told to the changed handler.
    void pollLimiter();
    bool limitLit() const { return limitLight_.lit(); }

    // Whether the last volume-and-pan call on a stream succeeded (decks without a stream are skipped).
    bool lastResult() const { return lastResult_; }
    int lastError() const { return lastError_; }

  private:
    int clampValue(int v) const;
    void applyBalance(audio::Handle stream, mixer::ChannelLevels channels);
    void notifyChanged();

    audio::SoundLibrary& library_;
    std::unique_ptr<Timer> cutTimer_;
    StreamSource streams_;
    std::function<void(int)> selectDeck_;
    std::function<void()> changed_;

    const int sliderMax_;
    const int crossfaderCentre_;
    int leftLevel_ = 0;
    int rightLevel_ = 0;
    int crossfader_;
    int mainVolume_;
    int monitorLevel_ = 0;
    int monitorMode_ = mixer::kMonitorLeft;
    int litMonitor_ = -1;
    int cutDeck_ = kLeftDeck;
    mixer::OutputLevels levels_;
    LimitLight limitLight_;
    bool lastResult_ = true;
    int lastError_ = 0;
};

}  // namespace vx
