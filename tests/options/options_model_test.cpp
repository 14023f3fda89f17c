#include "options/options_model.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "options/settings_holder.h"
#include "support/fakes.h"
#include "support/fake_sound_library.h"

namespace vx {
namespace {

using Slider = OptionsModel::Slider;
using Answer = Dialogs::Answer;

class OptionsModelTest : public ::testing::Test {
  protected:
    OptionsModelTest() {
        holder.reset(loadSettings(store, devices, defaultFolder()));
        holder.observe([this](const Settings& now, const Settings&) { told.push_back(now); });
    }
    QString defaultFolder() const { return dir.filePath("Playlists"); }
    OptionsModel& open() {
        model = std::make_unique<OptionsModel>(store, holder, dialogs, library, devices, defaultFolder());
        model->load();
        return *model;
    }

    QTemporaryDir dir;
    test::MemorySettings store;
    test::FakeDialogs dialogs;
    test::FakeSoundLibrary library;
    QStringList devices{kDefaultSoundDevice, "ALSA: Card A", "ALSA: Card B", "JACK: system"};
    SettingsHolder holder;
    std::vector<Settings> told;
    std::unique_ptr<OptionsModel> model;
};

// Stored values show on the controls in the controls' own units.
TEST_F(OptionsModelTest, StoredValuesShowOnTheControls) {
    struct Case {
        const char* name;
        std::vector<std::pair<QString, QString>> stored;
        Slider slider;
        int shown;
    };
    const std::vector<Case> cases{
        {"pitch range 1.5", {{"pitchRange", "1.5"}}, Slider::PitchRange, 1},
        {"buffer 0 gives 1.1 s", {{"Buffer", "0"}}, Slider::Buffer, 11},
        {"bandwidth 3.5", {{"EQBandwidth", "3.5"}}, Slider::EqBandwidth, 35},
    };
    for (const Case& c : cases) {
        store.values.clear();
        for (const auto& [name, value] : c.stored) store.write(name, value);
        EXPECT_EQ(open().slider(c.slider), c.shown) << c.name;
    }
}

TEST_F(OptionsModelTest, ControlValuesAreKeptInsideTheirRangesAndSteps) {
    struct Case {
        Slider slider;
        int given, kept;
    };
    const std::vector<Case> cases{
        {Slider::Stutter, 65, 70}, {Slider::Stutter, 200, 100}, {Slider::Braking, 100, 1000},
        {Slider::PitchRange, 5, 2}, {Slider::EqBandwidth, -3, 0},
    };
    OptionsModel& m = open();
    for (const Case& c : cases) {
        m.setSlider(c.slider, c.given);
        EXPECT_EQ(m.slider(c.slider), c.kept) << static_cast<int>(c.slider) << " " << c.given;
    }
    m.chooseDevice(9);
    m.chooseQuality(-1);
    m.chooseDjSetup(3);
    m.chooseLatency(4);
    EXPECT_EQ(m.deviceIndex(), 0);
    EXPECT_EQ(m.qualityIndex(), 1);
    EXPECT_EQ(m.djSetup(), 0);
    EXPECT_EQ(m.latencyIndex(), 1);
}

// What takes effect at close reaches the program's settings; "(Restart)" values are stored only, and the
// bandwidth waits for the dialog's next load.
TEST_F(OptionsModelTest, ClosingStoresEverythingAndAppliesWhatTakesEffectAtClose) {
    OptionsModel& m = open();
    m.chooseDevice(3);  // the third card
    m.chooseQuality(0);
    m.chooseLatency(0);
    m.setLimiter(false);
    m.setExactSeeking(true);
    m.setEqMode(audio::EqMode::Isolator);
    m.setSlider(Slider::Stutter, 60);
    m.setSlider(Slider::XFaderCut, 30);
    m.setSlider(Slider::Braking, 7000);
    m.setSlider(Slider::PitchRange, 2);
    m.setSlider(Slider::AutoMix, 95);
    m.setSlider(Slider::Buffer, 4);
    m.setSlider(Slider::EqBandwidth, 30);
    ASSERT_EQ(m.headphoneChoices().size(), devices.size() + 1);
    m.chooseHeadphones(m.headphoneChoices().size() - 1);  // the last card, as a second device
    m.close();

    const Settings& now = holder.get();
    EXPECT_EQ(now.Headphones.kind, audio::PhonesRoute::Kind::Device);
    EXPECT_EQ(library.headphones, now.Headphones);  // applied at once
    EXPECT_EQ(QString::fromStdString(now.Headphones.device), devices.last());
    EXPECT_EQ(std::tuple(now.stutteringSpeed, now.AutomixStart, now.SeekAccuracy, now.EQMode),
              std::tuple(60, 95, int(kExactSeekFlag), audio::EqMode::Isolator));
    // "(Restart)" values stay as the program started.
    EXPECT_EQ(std::tuple(now.outputDevice, now.outputFrequency, now.OutputLatencyMs, now.Limiter, now.Buffer),
              std::tuple(-1, 22050u, 10, true, 1.1));
    EXPECT_FLOAT_EQ(now.EQBandwidth, 2.0f);

    EXPECT_EQ(store.values.value("initdevice"), "JACK: system");
    const Settings next = loadSettings(store, devices, defaultFolder());  // the next start
    EXPECT_EQ(std::tuple(next.outputDevice, next.outputFrequency, next.OutputLatencyMs, next.Limiter, next.Buffer),
              std::tuple(2, 44100u, 5, false, 0.4));
    EXPECT_EQ(next.Headphones, now.Headphones);

    open();
    EXPECT_FLOAT_EQ(holder.get().EQBandwidth, 3.0f);
    EXPECT_EQ(model->deviceIndex(), 3);
}

TEST_F(OptionsModelTest, APlaylistFolderThatIsNotThereIsOfferedForCreation) {
    QDir().mkpath(dir.filePath("a"));
    QDir().mkpath(dir.filePath("lists"));
    store.write("playlistPath", dir.filePath("lists"));
    struct Case {
        const char* name;
        QString typed;
        std::deque<Answer> answers;
        std::vector<QString> titles;  // of the messages shown
        QString boxAfter;
        bool created;
    };
    const QString kept = dir.filePath("lists");
    const std::vector<Case> cases{
        {"an existing folder", dir.filePath("lists"), {}, {}, kept, true},
        {"a one-character name counts as missing", dir.filePath("a"), {Answer::No}, {"Path Not Found..."}, kept, true},
        {"Yes creates the last folder", dir.filePath("new"), {Answer::Yes}, {"Path Not Found..."},
         dir.filePath("new"), true},
        {"only the last folder is made", dir.filePath("x/y"), {Answer::Yes}, {"Path Not Found...", "Path Error..."},
         kept, false},
        {"No on another folder shows the stored one", dir.filePath("gone"), {Answer::No}, {"Path Not Found..."},
         kept, false},
    };
    for (const Case& c : cases) {
        OptionsModel& m = open();
        dialogs.shown.clear();
        dialogs.answers = c.answers;
        m.setPlaylistText(c.typed);
        m.playlistFolderLeft();
        std::vector<QString> titles;
        for (const auto& shown : dialogs.shown) titles.push_back(shown.title);
        EXPECT_EQ(titles, c.titles) << c.name;
        EXPECT_EQ(m.playlistText(), c.boxAfter) << c.name;
        EXPECT_EQ(QDir(c.typed).exists(), c.created) << c.name;
    }
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "The Playlist directory was not found. Do you want to create it?");
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::YesNo);

    // No, for the stored folder itself gone: the program's own folder takes its place.
    QDir(kept).removeRecursively();
    OptionsModel& m = open();
    dialogs.shown.clear();
    dialogs.answers = {Answer::No};
    m.playlistFolderLeft();
    EXPECT_EQ(m.playlistText(), defaultFolder());

    dialogs.answers = {Answer::Yes};
    m.setPlaylistText(dir.filePath("x/z"));
    m.playlistFolderLeft();
    EXPECT_EQ(dialogs.shown.back().text,
              "The Playlist directory could not be created. Please ensure that the path is valid");
    EXPECT_EQ(dialogs.shown.back().icon, Dialogs::Icon::Exclamation);
}

}  // namespace
}  // namespace vx
