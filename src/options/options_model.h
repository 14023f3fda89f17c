#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "options/settings.h"

namespace vx {

class Dialogs;
class SettingsHolder;
class SettingsStore;
namespace audio {
class SoundLibrary;
}

// The options dialog without its widgets. Opening it reads the stored settings into the controls (with
// their first-run defaults) and applies the ones that take effect at load; closing it, whichever way,
// takes every control over, stores it and applies what takes effect at close. Values marked "(Restart)"
// are stored only and used by the next start. Every control value is checked here: a value outside its
// control's range or step is brought onto it. UI thread only.
class OptionsModel {
  public:
    enum class Slider { Buffer, EqBandwidth, Stutter, XFaderCut, AutoMix, Braking, PitchRange };
    static constexpr int kSliderCount = 7;
    struct Range {
        int minimum, maximum;
        int smallStep, largeStep;
        int snap;  // values are multiples of this above the minimum
    };
    static Range range(Slider slider);
    // "CD Quality - 44100Hz", "FM Quality - 22100Hz".
    static QStringList qualities();

    // `devices` is soundDeviceList(): "Default Sound Device" first. `defaultPlaylistFolder` is used (and
    // made) while no playlist folder is stored.
    OptionsModel(SettingsStore& store, SettingsHolder& settings, Dialogs& dialogs, audio::SoundLibrary& library,
                 QStringList devices, QString defaultPlaylistFolder);

    void load();
    // Close button, title-bar close, Escape, Enter or the program: there is no way out without storing.
    void close();

    const QStringList& devices() const { return devices_; }
    int deviceIndex() const { return deviceIndex_; }  // -1: the stored card is not plugged in
    void chooseDevice(int index);
    int qualityIndex() const { return qualityIndex_; }
    void chooseQuality(int index);
    bool exactSeeking() const { return exactSeeking_; }
    void setExactSeeking(bool exact) { exactSeeking_ = exact; }
    int slider(Slider which) const { return sliders_[static_cast<std::size_t>(which)]; }
    void setSlider(Slider which, int value);
    // Applied at once: the main window lines its panels up again.
    int djSetup() const { return chosen_.DjSetup; }
    void chooseDjSetup(int index);
    int latencyIndex() const { return latencyIndex_; }  // into kOutputLatencies
    void chooseLatency(int index);
    bool limiter() const { return chosen_.Limiter; }
    void setLimiter(bool on) { chosen_.Limiter = on; }
    bool autoGain() const { return chosen_.AutoGain; }  // applied when the dialog closes
    void setAutoGain(bool on) { chosen_.AutoGain = on; }
    audio::EqMode eqMode() const { return chosen_.EQMode; }
    void setEqMode(audio::EqMode mode) { chosen_.EQMode = mode; }
    // Where the headphones listen: "Split on the main output", "Channels 3-4 of the main device", then
    // each sound card by name as a second device. Applied when the dialog closes.
    QStringList headphoneChoices() const;
    int headphonesIndex() const;
    void chooseHeadphones(int index);

    const QString& playlistText() const { return playlistText_; }
    void setPlaylistText(const QString& text) { playlistText_ = text; }
    // The playlist box lost the focus: a folder that is not there is offered for creation.
    void playlistFolderLeft();

    // The open output's latency as measured by the device, and how often it ran dry.
    QString measuredLatencyText() const;
    QString underrunText() const;

  private:
    Settings takeOver() const;
    void apply(const Settings& chosen, bool bandwidthToo);

    SettingsStore& store_;
    SettingsHolder& settings_;
    Dialogs& dialogs_;
    audio::SoundLibrary& library_;
    const QStringList devices_;
    const QString defaultPlaylistFolder_;

    Settings chosen_;  // as loaded, then as the controls change it
    int deviceIndex_ = 0;
    int qualityIndex_ = 1;
    bool exactSeeking_ = false;
    std::array<int, kSliderCount> sliders_{};
    int latencyIndex_ = 1;
    QString playlistText_;
};

}  // namespace vx
