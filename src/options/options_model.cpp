#include "options/options_model.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "audio/sound_library.h"
#include "options/settings_holder.h"
#include "services/dialogs.h"
#include "services/settings_store.h"

namespace vx {

namespace {
using Slider = OptionsModel::Slider;

constexpr std::array<OptionsModel::Range, OptionsModel::kSliderCount> kRanges{{
    {2, 20, 1, 2, 1},           // Buffer: tenths of a second
    {0, 40, 1, 2, 1},           // EqBandwidth: tenths of an octave
    {60, 100, 10, 10, 10},      // Stutter: ms
    {30, 70, 1, 5, 1},          // XFaderCut: ms
    {70, 100, 1, 5, 1},         // AutoMix: per cent
    {1000, 7000, 200, 500, 1},  // Braking: Hz per tick
    {0, 2, 1, 1, 1},            // PitchRange: 0 1.0, 1 1.5, 2 2.0
}};

constexpr std::array<double, 3> kPitchRanges{1.0, 1.5, 2.0};

int tenths(double value) {
    return static_cast<int>(std::lround(value * 10.0));
}

// A folder counts as missing when looking it up gives no name or a one-character one.
bool folderMissing(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/')) trimmed.chop(1);
    const QFileInfo info(trimmed);
    return !info.isDir() || info.fileName().size() <= 1;
}
}  // namespace

OptionsModel::Range OptionsModel::range(Slider slider) {
    return kRanges[static_cast<std::size_t>(slider)];
}

QStringList OptionsModel::qualities() {
    return {kCdQuality, kFmQuality};
}

OptionsModel::OptionsModel(SettingsStore& store, SettingsHolder& settings, Dialogs& dialogs,
                           audio::SoundLibrary& library, QStringList devices, QString defaultPlaylistFolder)
    : store_(store),
      settings_(settings),
      dialogs_(dialogs),
      library_(library),
      devices_(std::move(devices)),
      defaultPlaylistFolder_(std::move(defaultPlaylistFolder)) {}

void OptionsModel::load() {
    chosen_ = loadSettings(store_, devices_, defaultPlaylistFolder_);
    deviceIndex_ = static_cast<int>(devices_.indexOf(chosen_.chosenDevice));
    qualityIndex_ = chosen_.chosenQuality == kCdQuality ? 0 : 1;
    exactSeeking_ = chosen_.SeekAccuracy != 0;
    const auto pitch = std::find(kPitchRanges.begin(), kPitchRanges.end(), chosen_.pitchRange);
    const std::array<std::pair<Slider, int>, kSliderCount> shown{{
        {Slider::Buffer, tenths(chosen_.Buffer)},
        {Slider::EqBandwidth, tenths(chosen_.EQBandwidth)},
        {Slider::Stutter, chosen_.stutteringSpeed},
        {Slider::XFaderCut, chosen_.XFaderCutSpeed},
        {Slider::AutoMix, chosen_.AutomixStart},
        {Slider::Braking, chosen_.TurntableStopSpeed},
        {Slider::PitchRange, pitch == kPitchRanges.end() ? 0 : static_cast<int>(pitch - kPitchRanges.begin())},
    }};
    for (const auto& [which, value] : shown) setSlider(which, value);
    const auto latency = std::find(kOutputLatencies.begin(), kOutputLatencies.end(), chosen_.OutputLatencyMs);
    latencyIndex_ = static_cast<int>(latency - kOutputLatencies.begin());
    playlistText_ = chosen_.playlistPath;
    apply(chosen_, true);  // the bandwidth, the cut speed, both decks' pitch and the DJ set-up
}

void OptionsModel::close() {
    chosen_ = takeOver();
    storeSettings(store_, chosen_);
    apply(chosen_, false);
}

Settings OptionsModel::takeOver() const {
    Settings s = chosen_;
    s.TurntableStopSpeed = slider(Slider::Braking);
    s.XFaderCutSpeed = slider(Slider::XFaderCut);
    s.pitchRange = kPitchRanges[static_cast<std::size_t>(slider(Slider::PitchRange))];
    s.SeekAccuracy = exactSeeking_ ? kExactSeekFlag : 0;
    s.AutomixStart = slider(Slider::AutoMix);
    s.Buffer = slider(Slider::Buffer) / 10.0;
    s.playlistPath = playlistText_;
    s.stutteringSpeed = slider(Slider::Stutter);
    s.EQBandwidth = static_cast<float>(slider(Slider::EqBandwidth)) / 10.0f;
    s.OutputLatencyMs = kOutputLatencies[static_cast<std::size_t>(latencyIndex_)];
    return s;
}

// What runs keeps its device, quality, buffer, latency and limiter until the next start; the equaliser
// bandwidth changes when the dialog is next loaded.
void OptionsModel::apply(const Settings& chosen, bool bandwidthToo) {
    const Settings& running = settings_.get();
    Settings next = chosen;
    next.chosenQuality = running.chosenQuality;
    next.outputFrequency = running.outputFrequency;
    next.chosenDevice = running.chosenDevice;
    next.outputDevice = running.outputDevice;
    next.Buffer = running.Buffer;
    next.OutputLatencyMs = running.OutputLatencyMs;
    next.Limiter = running.Limiter;
    next.RecordFormat = running.RecordFormat;
    next.lastPlaylist = running.lastPlaylist;
    if (!bandwidthToo) next.EQBandwidth = running.EQBandwidth;
    if (next.Headphones != running.Headphones) library_.setHeadphones(next.Headphones);
    settings_.update(next);
}

QStringList OptionsModel::headphoneChoices() const {
    QStringList choices{QStringLiteral("Split on the main output"),
                        QStringLiteral("Channels 3\u20134 of the main device")};
    for (int i = 1; i < devices_.size(); ++i) choices << devices_[i];  // not the default device
    return choices;
}

int OptionsModel::headphonesIndex() const {
    const audio::PhonesRoute& route = chosen_.Headphones;
    if (route.kind == audio::PhonesRoute::Kind::Channels34) return 1;
    if (route.kind == audio::PhonesRoute::Kind::Device) {
        const qsizetype at = devices_.indexOf(QString::fromStdString(route.device));
        if (at >= 1) return static_cast<int>(at) + 1;
    }
    return 0;
}

void OptionsModel::chooseHeadphones(int index) {
    audio::PhonesRoute route;
    if (index == 1) {
        route.kind = audio::PhonesRoute::Kind::Channels34;
    } else if (index >= 2 && index < devices_.size() + 1) {
        route.kind = audio::PhonesRoute::Kind::Device;
        route.device = devices_[index - 1].toStdString();
    }
    chosen_.Headphones = route;
}

void OptionsModel::chooseDevice(int index) {
    if (index < 0 || index >= devices_.size()) return;
    deviceIndex_ = index;
    chosen_.chosenDevice = devices_[index];
}

void OptionsModel::chooseQuality(int index) {
    if (index < 0 || index > 1) return;
    qualityIndex_ = index;
    chosen_.chosenQuality = qualities()[index];
}

void OptionsModel::setSlider(Slider which, int value) {
    const Range r = range(which);
    value = std::clamp(value, r.minimum, r.maximum);
    value = r.minimum + (value - r.minimum + r.snap / 2) / r.snap * r.snap;
    sliders_[static_cast<std::size_t>(which)] = std::min(value, r.maximum);
}

void OptionsModel::chooseDjSetup(int index) {
    if (index < 0 || index > 2) return;
    chosen_.DjSetup = index;
    Settings next = settings_.get();
    next.DjSetup = index;
    settings_.update(next);
}

void OptionsModel::chooseLatency(int index) {
    if (index >= 0 && index < static_cast<int>(kOutputLatencies.size())) latencyIndex_ = index;
}

void OptionsModel::playlistFolderLeft() {
    const QString typed = playlistText_;
    if (!folderMissing(typed)) return;
    const auto answer = dialogs_.message("The Playlist directory was not found. Do you want to create it?",
                                         "Path Not Found...", Dialogs::Icon::Exclamation,
                                         Dialogs::Buttons::YesNo);
    if (answer == Dialogs::Answer::Yes) {
        if (!typed.isEmpty() && QDir().mkdir(typed)) return;
        dialogs_.message("The Playlist directory could not be created. Please ensure that the path is valid",
                         "Path Error...", Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    } else if (typed == chosen_.playlistPath) {
        chosen_.playlistPath = defaultPlaylistFolder_;
    }
    playlistText_ = chosen_.playlistPath;
}

QString OptionsModel::measuredLatencyText() const {
    const double seconds = library_.outputHealth().latencySeconds;
    if (seconds <= 0) return QStringLiteral("not measured");
    return QString::number(seconds * 1000.0, 'f', 1) + QStringLiteral(" ms");
}

QString OptionsModel::underrunText() const {
    return QString::number(library_.outputHealth().underruns) + QStringLiteral(" underruns, ") +
           QString::number(library_.dropouts()) + QStringLiteral(" dropouts in all");
}

}  // namespace vx
