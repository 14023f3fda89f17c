#include "options/settings.h"

#include <QDir>
#include <algorithm>

#include "audio/sound_library.h"
#include "options/setting_text.h"
#include "services/settings_store.h"

namespace vx {

namespace {
constexpr int kMaxListedDevices = 6;

// 0 (missing) takes the default; anything else is brought into the control's range.
int inRangeOr(int stored, int low, int high, int fallback) {
    return stored == 0 ? fallback : std::clamp(stored, low, high);
}

double normalisedPitchRange(double stored) {
    return stored == 1.0 || stored == 1.5 || stored == 2.0 ? stored : 1.0;
}
}  // namespace

QStringList soundDeviceList(audio::SoundLibrary& library) {
    QStringList list{kDefaultSoundDevice};
    for (int index = 1; index <= kMaxListedDevices; ++index) {
        const std::string name = library.deviceDescription(index);
        if (name.empty()) break;
        list << QString::fromStdString(name);
    }
    return list;
}

int automixStartSetting(const SettingsStore& store) {
    return inRangeOr(leadingInt16(store.read("AutomixStart")), kAutomixMin, kAutomixMax, kAutomixDefault);
}

Settings loadSettings(const SettingsStore& store, const QStringList& devices,
                      const QString& defaultPlaylistFolder) {
    Settings s;
    s.optStartUp = leadingInt16(store.read("optStartUp"));

    const float bandwidth = static_cast<float>(leadingNumber(store.read("EQBandwidth")));
    s.EQBandwidth = bandwidth == 0.0f ? kBandwidthDefault : std::clamp(bandwidth, 0.0f, kBandwidthMax);
    const bool isolator = store.read("EQMode").trimmed().compare("isolator", Qt::CaseInsensitive) == 0;
    s.EQMode = isolator ? audio::EqMode::Isolator : audio::EqMode::Peaking;

    s.SeekAccuracy = leadingInt32(store.read("SeekAccuracy")) == 0 ? 0 : kExactSeekFlag;

    s.chosenQuality = store.read("InitQuality");
    if (s.chosenQuality == kCdQuality) {
        s.outputFrequency = 44100;
    } else if (s.chosenQuality == kFmQuality) {
        s.outputFrequency = 22050;
    } else {  // first run, or a text we do not know: offer the file associations once
        s.chosenQuality = kFmQuality;
        s.outputFrequency = 22050;
        s.optStartUp = 1;
    }

    // A stored card that is not plugged in now plays on the default device, while its name is kept so
    // the next start finds it again.
    s.chosenDevice = store.read("initDevice");
    s.outputDevice = -1;
    if (s.chosenDevice == kSettingNotFound) {
        s.chosenDevice = kDefaultSoundDevice;
    } else if (const qsizetype position = devices.indexOf(s.chosenDevice); position >= 0) {
        s.outputDevice = static_cast<int>(position) - 1;
    }

    s.TurntableStopSpeed =
        inRangeOr(leadingInt32(store.read("TurntableStopSpeed")), kBrakingMin, kBrakingMax, kBrakingDefault);
    s.pitchRange = normalisedPitchRange(leadingNumber(store.read("pitchRange")));
    const int setup = leadingInt16(store.read("DjSetup"));
    s.DjSetup = setup >= 0 && setup <= 2 ? setup : 0;
    s.XFaderCutSpeed =
        inRangeOr(leadingInt16(store.read("XFaderCutSpeed")), kCutSpeedMin, kCutSpeedMax, kCutSpeedDefault);
    s.AutomixStart = automixStartSetting(store);

    const double buffer = leadingNumber(store.read("Buffer"));
    s.Buffer = buffer == 0.0 ? kBufferDefault : std::clamp(buffer, kBufferMin, kBufferMax);

    const int latency = leadingInt16(store.read("OutputLatencyMs"));
    const bool offered = std::find(kOutputLatencies.begin(), kOutputLatencies.end(), latency) !=
                         kOutputLatencies.end();
    s.OutputLatencyMs = offered ? latency : kOutputLatencyDefault;

    s.RecPath = store.read("RecPath");

    s.playlistPath = store.read("playlistPath");
    if (s.playlistPath.compare(kSettingNotFound, Qt::CaseInsensitive) == 0) {
        s.playlistPath = defaultPlaylistFolder;
        QDir().mkpath(defaultPlaylistFolder);  // a failure shows later, when a playlist is saved
    }

    const int stutter = leadingInt16(store.read("stutteringSpeed"));
    s.stutteringSpeed = stutter < kStutterMin ? kStutterDefault : std::min(stutter, kStutterMax);

    // Only a stored 0 turns the protection off; a missing or unreadable value keeps it.
    const QString limiter = store.read("Limiter").trimmed();
    s.Limiter = !(limiter.startsWith('0') && leadingNumber(limiter) == 0.0);

    const QString autoGain = store.read("AutoGain").trimmed();
    s.AutoGain = autoGain != kSettingNotFound && leadingNumber(autoGain) == 1.0;

    const bool wav = store.read("RecordFormat").trimmed().compare("wav", Qt::CaseInsensitive) == 0;
    s.RecordFormat = wav ? audio::AudioFileFormat::Wav : audio::AudioFileFormat::Flac;

    s.Headphones = audio::phonesRouteFromText(store.read("Headphones").trimmed().toStdString());

    const QString last = store.read("Last Playlist");
    s.lastPlaylist = last == kSettingNotFound ? QString() : last;
    return s;
}

void storeSettings(SettingsStore& store, const Settings& s) {
    store.write("optStartUp", numberText(s.optStartUp));
    store.write("EQBandwidth", numberText(s.EQBandwidth));
    store.write("EQMode", s.EQMode == audio::EqMode::Isolator ? "isolator" : "classic");
    store.write("SeekAccuracy", numberText(s.SeekAccuracy));
    store.write("initQuality", s.chosenQuality);
    store.write("initDevice", s.chosenDevice);
    store.write("TurntableStopSpeed", numberText(s.TurntableStopSpeed));
    store.write("pitchRange", numberText(s.pitchRange));
    store.write("DjSetup", numberText(s.DjSetup));
    store.write("XFaderCutSpeed", numberText(s.XFaderCutSpeed));
    store.write("AutomixStart", numberText(s.AutomixStart));
    store.write("Buffer", numberText(s.Buffer));
    store.write("OutputLatencyMs", numberText(s.OutputLatencyMs));
    store.write("RecPath", s.RecPath);
    store.write("playlistPath", s.playlistPath);
    store.write("stutteringSpeed", numberText(s.stutteringSpeed));
    store.write("Limiter", numberText(s.Limiter ? 1 : 0));
    store.write("AutoGain", numberText(s.AutoGain ? 1 : 0));
    store.write("RecordFormat", s.RecordFormat == audio::AudioFileFormat::Wav ? "wav" : "flac");
    store.write("Headphones", QString::fromStdString(audio::phonesRouteText(s.Headphones)));
}

}  // namespace vx
