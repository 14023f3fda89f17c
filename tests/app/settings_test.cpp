#include "options/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "options/setting_text.h"
#include "support/fake_sound_library.h"
#include "support/fakes.h"

namespace vx {
namespace {

TEST(LeadingNumber, TakesTheLongestLeadingNumber) {
    const std::pair<const char*, double> rows[] = {{"12abc", 12}, {"  -3.5 ms", -3.5}, {"1.5.2", 1.5}, {".5", 0.5},
                                                   {"2e3x", 2000},  {"2e", 2},          {"not found", 0},
                                                   {"", 0},         {"-", 0},           {"1e999", 0}};
    for (const auto& [text, number] : rows) EXPECT_EQ(leadingNumber(text), number) << text;
    EXPECT_EQ(leadingInt16("99999"), 32767);
    EXPECT_EQ(leadingInt32("131072"), 131072);
    EXPECT_EQ(numberText(2.0), "2");
    EXPECT_EQ(numberText(1.7f), "1.7");
}

class SettingsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    test::MemorySettings store;
    QStringList devices{kDefaultSoundDevice, "Card A", "Card B", "Card C"};
    QString playlists() const { return dir.path() + "/data/Velumix/Playlists"; }
    Settings load() { return loadSettings(store, devices, playlists()); }
};

TEST_F(SettingsTest, FirstRunOffersTheAssociationsAndCreatesThePlaylistFolder) {
    const Settings s = load();
    EXPECT_EQ(s.optStartUp, 1);
    EXPECT_EQ(s.playlistPath, playlists());
    EXPECT_TRUE(QDir(playlists()).exists());
    EXPECT_EQ(s.RecPath, kSettingNotFound);  // kept as the store answered, and written back so
}

TEST_F(SettingsTest, QualityTextsPickTheFrequency) {
    store.write("InitQuality", "CD Quality - 44100Hz");
    store.write("optStartUp", "0");
    Settings s = load();
    EXPECT_EQ(s.outputFrequency, 44100u);
    EXPECT_EQ(s.optStartUp, 0);

    store.write("initquality", "cd quality - 44100hz");  // not one of the two texts: a first run
    s = load();
    EXPECT_EQ(s.chosenQuality, kFmQuality);
    EXPECT_EQ(s.outputFrequency, 22050u);
    EXPECT_EQ(s.optStartUp, 1);
}

// Each stored text as read: odd values replaced by the default, values outside the controls' ranges
// brought inside (a negative timer interval would never tick).
TEST_F(SettingsTest, StoredTextsAreReadAndOddOnesReplaced) {
    using Field = std::function<double(const Settings&)>;
    const Field pitch = [](const Settings& s) { return s.pitchRange; };
    const Field buffer = [](const Settings& s) { return s.Buffer; };
    const Field stutter = [](const Settings& s) { return s.stutteringSpeed; };
    const Field eqMode = [](const Settings& s) { return int(s.EQMode); };
    const Field format = [](const Settings& s) { return int(s.RecordFormat); };
    const Field phones = [](const Settings& s) { return int(s.Headphones.kind); };
    const int isolator = int(audio::EqMode::Isolator), wav = int(audio::AudioFileFormat::Wav);
    const struct {
        const char* name;
        const char* stored;
        Field field;
        double read;
    } rows[] = {
        {"pitchRange", "1.25", pitch, 1.0}, {"Buffer", "0", buffer, 1.1}, {"Buffer", "60", buffer, 2.0},
        {"stutteringSpeed", "50", stutter, 80}, {"stutteringSpeed", "250", stutter, 100},
        {"EQMode", " Isolator", eqMode, isolator}, {"EQMode", "graphic", eqMode, int(audio::EqMode::Peaking)},
        {"SeekAccuracy", "5", [](const Settings& s) { return s.SeekAccuracy; }, kExactSeekFlag},
        {"TurntableStopSpeed", "6000 Hz", [](const Settings& s) { return s.TurntableStopSpeed; }, 6000},
        {"XFaderCutSpeed", "-20", [](const Settings& s) { return s.XFaderCutSpeed; }, 30},
        {"AutomixStart", "150", [](const Settings& s) { return s.AutomixStart; }, 100},
        {"DjSetup", "7", [](const Settings& s) { return s.DjSetup; }, 0},
        {"Limiter", "on", [](const Settings& s) { return s.Limiter; }, 1},  // only a 0 turns the limiter off
        {"AutoGain", "on", [](const Settings& s) { return s.AutoGain; }, 0},  // only a 1 turns it on
        {"RecordFormat", " WAV", format, wav},
        {"RecordFormat", "mp3", format, int(audio::AudioFileFormat::Flac)},  // not one we write
        {"Headphones", "channels34 ", phones, int(audio::PhonesRoute::Kind::Channels34)},
        {"Headphones", "device:", phones, int(audio::PhonesRoute::Kind::Split)},  // a device without a name
    };
    for (const auto& row : rows) {
        store.values.clear();
        store.write(row.name, row.stored);
        EXPECT_DOUBLE_EQ(row.field(load()), row.read) << row.name << "=" << row.stored;
    }
}

TEST_F(SettingsTest, TheDeviceNameMapsToItsListPositionMinusOne) {
    // A card that is unplugged now plays on the default device but keeps its name for the next start.
    for (const auto& [name, index] : {std::pair<QString, int>{"Card C", 2}, {"Default Sound Device", -1},
                                      {"USB Headset", -1}}) {
        store.write("initDevice", name);
        EXPECT_EQ(load().outputDevice, index);
        EXPECT_EQ(load().chosenDevice, name);
    }
}

TEST_F(SettingsTest, TheDeviceListStopsAtTheFirstNamelessDeviceAndAtSix) {
    test::FakeSoundLibrary library;
    library.devices = {"No sound", "A", "B", ""};
    EXPECT_EQ(soundDeviceList(library), (QStringList{kDefaultSoundDevice, "A", "B"}));
    library.devices = {"No sound", "1", "2", "3", "4", "5", "6", "7"};
    EXPECT_EQ(soundDeviceList(library).size(), 7);
}

TEST_F(SettingsTest, StoringWritesEveryValueUnderItsNameAndReadsBackTheSame) {
    Settings s = load();
    s.chosenQuality = kCdQuality, s.chosenDevice = "Card B", s.EQBandwidth = 1.7f, s.pitchRange = 1.5;
    s.DjSetup = 2, s.Buffer = 0.3, s.stutteringSpeed = 70, s.playlistPath = "/music/lists", s.Limiter = false;
    s.RecordFormat = audio::AudioFileFormat::Wav, s.AutoGain = true;
    s.Headphones = {audio::PhonesRoute::Kind::Device, "USB Audio: Headphones (hw:2,0)"};
    storeSettings(store, s);
    EXPECT_EQ(store.values.value("headphones"), "device:USB Audio: Headphones (hw:2,0)");
    EXPECT_EQ(store.values.value("eqbandwidth"), "1.7");
    EXPECT_FALSE(store.values.contains("last playlist"));

    const Settings back = load();
    EXPECT_EQ(std::tuple(back.outputFrequency, back.outputDevice, back.pitchRange, back.Buffer, back.DjSetup),
              std::tuple(44100u, 1, 1.5, 0.3, 2));
    EXPECT_EQ(std::tuple(back.stutteringSpeed, back.Limiter, back.RecordFormat, back.AutoGain, back.playlistPath),
              std::tuple(70, false, audio::AudioFileFormat::Wav, true, QString("/music/lists")));
    EXPECT_FLOAT_EQ(back.EQBandwidth, 1.7f);
    EXPECT_EQ(back.Headphones, s.Headphones);
    EXPECT_EQ(back.optStartUp, 1);  // the first run's offer is remembered until the user changes it
}

}  // namespace
}  // namespace vx
