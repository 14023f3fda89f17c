#include "options/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "options/dj_setup.h"
#include "options/setting_text.h"
#include "support/fake_sound_library.h"
#include "support/memory_settings.h"

namespace vx {
namespace {

TEST(LeadingNumber, TakesTheLongestLeadingNumber) {
    EXPECT_EQ(leadingNumber("12abc"), 12);
    EXPECT_EQ(leadingNumber("  -3.5 ms"), -3.5);
    EXPECT_EQ(leadingNumber("1.5.2"), 1.5);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("2e3x"), 2000);
    EXPECT_EQ(leadingNumber("2e"), 2);
    EXPECT_EQ(leadingNumber("not found"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("1e999"), 0);
    EXPECT_EQ(leadingInt16("99999"), 32767);
    EXPECT_EQ(leadingInt32("131072"), 131072);
    EXPECT_EQ(numberText(2.0), "2");
    EXPECT_EQ(numberText(1.1), "1.1");
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

TEST_F(SettingsTest, FirstRunTakesEveryDefaultAndCreatesThePlaylistFolder) {
    const Settings s = load();
    EXPECT_EQ(s.chosenQuality, "FM Quality - 22100Hz");
    EXPECT_EQ(s.outputFrequency, 22050u);
    EXPECT_EQ(s.optStartUp, 1);
    EXPECT_FLOAT_EQ(s.EQBandwidth, 2.0f);
    EXPECT_EQ(s.TurntableStopSpeed, 4000);
    EXPECT_EQ(s.XFaderCutSpeed, 50);
    EXPECT_EQ(s.AutomixStart, 85);
    EXPECT_DOUBLE_EQ(s.Buffer, 1.1);
    EXPECT_EQ(s.stutteringSpeed, 80);
    EXPECT_DOUBLE_EQ(s.pitchRange, 1.0);
    EXPECT_EQ(s.SeekAccuracy, 0);
    EXPECT_EQ(s.DjSetup, 0);
    EXPECT_EQ(s.chosenDevice, "Default Sound Device");
    EXPECT_EQ(s.outputDevice, -1);
    EXPECT_EQ(s.playlistPath, playlists());
    EXPECT_TRUE(QDir(playlists()).exists());
    EXPECT_EQ(s.RecPath, kSettingNotFound);  // kept as the store answered, and written back so
    EXPECT_TRUE(s.lastPlaylist.isEmpty());
    EXPECT_TRUE(s.Limiter);
    EXPECT_FALSE(s.Headphones.ownOutput());
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

TEST_F(SettingsTest, StoredNumbersAreReadAndOddOnesReplaced) {
    store.write("pitchRange", "1.25");
    store.write("Buffer", "0");
    store.write("stutteringSpeed", "50");
    store.write("EQBandwidth", "1.5");
    store.write("EQMode", " Isolator");
    store.write("SeekAccuracy", "131072");
    store.write("TurntableStopSpeed", "6000 Hz");
    store.write("Limiter", "0");
    store.write("RecordFormat", " WAV");
    store.write("Headphones", "channels34 ");
    Settings s = load();
    EXPECT_EQ(s.Headphones.kind, audio::PhonesRoute::Kind::Channels34);
    EXPECT_DOUBLE_EQ(s.pitchRange, 1.0);
    EXPECT_DOUBLE_EQ(s.Buffer, 1.1);
    EXPECT_EQ(s.stutteringSpeed, 80);
    EXPECT_FLOAT_EQ(s.EQBandwidth, 1.5f);
    EXPECT_EQ(s.EQMode, audio::EqMode::Isolator);
    EXPECT_EQ(s.SeekAccuracy, kExactSeekFlag);
    EXPECT_EQ(s.TurntableStopSpeed, 6000);
    EXPECT_FALSE(s.Limiter);
    EXPECT_EQ(s.RecordFormat, audio::AudioFileFormat::Wav);

    store.write("pitchRange", "2");
    store.write("stutteringSpeed", "90");
    store.write("Buffer", "0.4");
    store.write("EQMode", "graphic");  // unknown: the classic equaliser
    store.write("Limiter", "on");  // only a 0 turns the limiter off
    store.write("RecordFormat", "mp3");  // not one we write: FLAC
    store.write("Headphones", "device:");  // a device without a name: the split
    s = load();
    EXPECT_EQ(s.Headphones, audio::PhonesRoute{});
    EXPECT_EQ(s.RecordFormat, audio::AudioFileFormat::Flac);
    EXPECT_EQ(s.EQMode, audio::EqMode::Peaking);
    EXPECT_DOUBLE_EQ(s.pitchRange, 2.0);
    EXPECT_EQ(s.stutteringSpeed, 90);
    EXPECT_DOUBLE_EQ(s.Buffer, 0.4);
    EXPECT_TRUE(s.Limiter);
}

TEST_F(SettingsTest, ValuesOutsideTheControlsRangesAreBroughtInside) {
    store.write("XFaderCutSpeed", "-20");  // a negative timer interval would never tick
    store.write("TurntableStopSpeed", "90000");
    store.write("AutomixStart", "150");
    store.write("Buffer", "60");
    store.write("stutteringSpeed", "250");
    store.write("DjSetup", "7");
    store.write("SeekAccuracy", "5");
    const Settings s = load();
    EXPECT_EQ(s.XFaderCutSpeed, 30);
    EXPECT_EQ(s.TurntableStopSpeed, 7000);
    EXPECT_EQ(s.AutomixStart, 100);
    EXPECT_DOUBLE_EQ(s.Buffer, 2.0);
    EXPECT_EQ(s.stutteringSpeed, 100);
    EXPECT_EQ(s.DjSetup, 0);
    EXPECT_EQ(s.SeekAccuracy, kExactSeekFlag);
}

TEST_F(SettingsTest, TheDeviceNameMapsToItsListPositionMinusOne) {
    store.write("initDevice", "Card C");
    EXPECT_EQ(load().outputDevice, 2);
    store.write("initDevice", "Default Sound Device");
    EXPECT_EQ(load().outputDevice, -1);
    // A card that is unplugged now plays on the default device but keeps its name for the next start.
    store.write("initDevice", "USB Headset");
    const Settings s = load();
    EXPECT_EQ(s.outputDevice, -1);
    EXPECT_EQ(s.chosenDevice, "USB Headset");
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
    s.chosenQuality = kCdQuality;
    s.chosenDevice = "Card B";
    s.EQBandwidth = 1.7f;
    s.pitchRange = 1.5;
    s.DjSetup = 2;
    s.Buffer = 0.3;
    s.stutteringSpeed = 70;
    s.playlistPath = "/music/lists";
    s.Limiter = false;
    s.RecordFormat = audio::AudioFileFormat::Wav;
    s.Headphones = {audio::PhonesRoute::Kind::Device, "USB Audio: Headphones (hw:2,0)"};
    storeSettings(store, s);
    EXPECT_EQ(store.values.value("headphones"), "device:USB Audio: Headphones (hw:2,0)");
    EXPECT_EQ(store.values.value("initquality"), "CD Quality - 44100Hz");
    EXPECT_EQ(store.values.value("eqbandwidth"), "1.7");
    EXPECT_EQ(store.values.value("buffer"), "0.3");
    EXPECT_EQ(store.values.value("limiter"), "0");
    EXPECT_EQ(store.values.value("recpath"), kSettingNotFound);
    EXPECT_FALSE(store.values.contains("last playlist"));

    const Settings back = load();
    EXPECT_EQ(back.outputFrequency, 44100u);
    EXPECT_EQ(back.outputDevice, 1);
    EXPECT_FLOAT_EQ(back.EQBandwidth, 1.7f);
    EXPECT_DOUBLE_EQ(back.pitchRange, 1.5);
    EXPECT_EQ(back.DjSetup, 2);
    EXPECT_DOUBLE_EQ(back.Buffer, 0.3);
    EXPECT_EQ(back.stutteringSpeed, 70);
    EXPECT_EQ(back.playlistPath, "/music/lists");
    EXPECT_FALSE(back.Limiter);
    EXPECT_EQ(back.RecordFormat, audio::AudioFileFormat::Wav);
    EXPECT_EQ(back.Headphones, s.Headphones);
    EXPECT_EQ(back.optStartUp, 1);  // the first run's offer is remembered until the user changes it
}

TEST(DjSetup, PanelsLineUpInEachSetUpsOrder) {
    const std::array<int, 3> widths{400, 300, 400};  // left deck, mixer, right deck
    const PanelGeometry g{140, 10};
    EXPECT_EQ(panelLefts(0, widths, g), (std::array<int, 3>{140, 550, 860}));
    EXPECT_EQ(panelLefts(1, widths, g), (std::array<int, 3>{450, 140, 860}));  // mixer leftmost
    EXPECT_EQ(panelLefts(2, widths, g), (std::array<int, 3>{140, 960, 550}));
    EXPECT_EQ(panelLefts(9, widths, g), panelLefts(0, widths, g));
}

}  // namespace
}  // namespace vx
