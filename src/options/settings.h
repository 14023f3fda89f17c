#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "audio/audio_file_writer.h"
#include "audio/eq_design.h"
#include "audio/phones_route.h"

namespace vx {

class SettingsStore;
namespace audio {
class SoundLibrary;
}

inline const QString kCdQuality = QStringLiteral("CD Quality - 44100Hz");
inline const QString kFmQuality = QStringLiteral("FM Quality - 22100Hz");  // plays at 22050 Hz
inline const QString kDefaultSoundDevice = QStringLiteral("Default Sound Device");

// Ranges of the options dialog's controls; a stored value outside them is brought inside.
inline constexpr int kBrakingMin = 1000, kBrakingMax = 7000, kBrakingDefault = 4000;
inline constexpr int kCutSpeedMin = 30, kCutSpeedMax = 70, kCutSpeedDefault = 50;
inline constexpr int kAutomixMin = 70, kAutomixMax = 100, kAutomixDefault = 85;
inline constexpr int kStutterMin = 60, kStutterMax = 100, kStutterDefault = 80;
inline constexpr double kBufferMin = 0.2, kBufferMax = 2.0, kBufferDefault = 1.1;
inline constexpr float kBandwidthMax = 4.0f, kBandwidthDefault = 2.0f;
inline constexpr std::int32_t kExactSeekFlag = 131072;
// The output latencies offered, in ms; the default asks the device for about 10 ms, as before it was a choice.
inline constexpr std::array<int, 4> kOutputLatencies{5, 10, 20, 40};
inline constexpr int kOutputLatencyDefault = 10;

// Every program-wide setting, with the meaning the rest of the program relies on (already defaulted and
// checked: a Settings value is always usable as it stands).
struct Settings {
    int optStartUp = 0;                                 // 1: offer the file associations at start-up
    float EQBandwidth = kBandwidthDefault;              // octaves
    audio::EqMode EQMode = audio::EqMode::Peaking;      // stored as "classic" or "isolator"
    std::int32_t SeekAccuracy = 0;                      // 0, or kExactSeekFlag
    QString chosenQuality = kFmQuality;                 // stored under InitQuality
    std::uint32_t outputFrequency = 22050;              // Hz, from chosenQuality
    QString chosenDevice = kDefaultSoundDevice;         // stored under initDevice
    int outputDevice = -1;                              // -1 the default device, 1..n a sound card
    std::int32_t TurntableStopSpeed = kBrakingDefault;  // Hz taken off per braking tick
    double pitchRange = 1.0;                            // 1.0, 1.5 or 2.0
    int DjSetup = 0;                                    // 0, 1 or 2: order of the main window's panels
    int XFaderCutSpeed = kCutSpeedDefault;              // ms
    int AutomixStart = kAutomixDefault;                 // per cent of the song
    double Buffer = kBufferDefault;                     // seconds decoded ahead before a (re)start
    int OutputLatencyMs = kOutputLatencyDefault;        // asked of the device when the output opens
    QString RecPath;                        // start folder of the add-songs dialog, kept as stored
    QString playlistPath;                   // folder of playlist files
    int stutteringSpeed = kStutterDefault;  // ms
    QString lastPlaylist;                   // "Last Playlist": empty when none (the playlist stores it)
    bool Limiter = true;                    // the output's peak limiter; a stored 0 turns it off
    bool AutoGain = false;                  // every song brought to one loudness; a stored 1 turns it on
    audio::AudioFileFormat RecordFormat = audio::AudioFileFormat::Flac;  // stored "flac" or "wav"
    audio::PhonesRoute Headphones;  // stored "split", "channels34" or "device:<name>"
};

// The output devices offered to the user: "Default Sound Device", then the sound cards 1..6 as far as
// the library names them. Position p in this list is device number p - 1.
QStringList soundDeviceList(audio::SoundLibrary& library);

// Reads every setting with its first-run default. `devices` is soundDeviceList(); `defaultPlaylistFolder`
// is used (and created) while no playlist folder is stored.
Settings loadSettings(const SettingsStore& store, const QStringList& devices,
                      const QString& defaultPlaylistFolder);

// AutomixStart alone, as loadSettings() reads it.
int automixStartSetting(const SettingsStore& store);

// Writes every setting (not "Last Playlist", which the playlist keeps itself).
void storeSettings(SettingsStore& store, const Settings& settings);

}  // namespace vx
