#include "mixer/mixer_model.h"

#include <gtest/gtest.h>

#include "support/fake_sound_library.h"
#include "support/fakes.h"

using vx::MixerModel;
using vx::test::FakeSoundLibrary;
using vx::test::FakeTicker;

namespace {

class MixerModelTest : public ::testing::Test {
  protected:
    MixerModelTest() : mixer(lib, ticker) {
        lib.addFile("left.mp3");
        lib.addFile("right.mp3");
        left = lib.createStream(vx::audio::Family::Plain, "left.mp3", 0);
        right = lib.createStream(vx::audio::Family::Plain, "right.mp3", 0);
        mixer.setStreamSource([this](int deck) { return deck == MixerModel::kLeftDeck ? left : right; });
    }

    std::pair<int, int> volPan(vx::audio::Handle h) {
        const auto* s = lib.stream(h);
        return {s->volume, s->pan};
    }

    FakeSoundLibrary lib;
    FakeTicker ticker;
    MixerModel mixer;
    vx::audio::Handle left = 0, right = 0;
};

using VP = std::pair<int, int>;

// Start-up selects stereo monitoring and half main volume whatever the window design said; every control
// then applies the mix to both streams, clamped to the slider range. The split of each monitor mode is
// measured in the mixer's maths and heard through the engine; here, the buttons' modes and lights.
TEST_F(MixerModelTest, StartUpThenEveryControlAppliesTheMixToBothStreams) {
    mixer.setMainVolume(70);
    mixer.pressMonitor(0);
    mixer.startUp();
    EXPECT_EQ(mixer.monitorMode(), 3);
    EXPECT_EQ(mixer.mainVolume(), 50);
    EXPECT_EQ(mixer.crossfader(), 50);
    mixer.setMainVolume(70);
    mixer.setDeckLevel(MixerModel::kLeftDeck, 50);
    mixer.setDeckLevel(MixerModel::kRightDeck, 50);
    EXPECT_EQ(mixer.leftOutputLevel(), 35);
    EXPECT_EQ(volPan(left), VP(35, 0));
    EXPECT_EQ(volPan(right), VP(35, 0));
    mixer.setCrossfader(100);
    EXPECT_EQ(mixer.leftOutputLevel(), 0);
    EXPECT_EQ(volPan(left), VP(0, 0));
    EXPECT_EQ(volPan(right), VP(35, 0));
    mixer.setMainVolume(0);
    EXPECT_EQ(volPan(right), VP(0, 0));
    EXPECT_TRUE(mixer.lastResult());

    mixer.setCrossfader(250);
    EXPECT_EQ(mixer.crossfader(), 100);
    mixer.setDeckLevel(MixerModel::kLeftDeck, -5);
    EXPECT_EQ(mixer.deckLevel(MixerModel::kLeftDeck), 0);
    mixer.setMonitorLevel(101);
    EXPECT_EQ(mixer.monitorLevel(), 100);

    for (const auto& [button, mode] : {std::pair{0, 1}, {1, 2}, {2, 3}}) {
        mixer.pressMonitor(button);
        EXPECT_EQ(mixer.monitorMode(), mode);
        EXPECT_EQ(mixer.litMonitorButton(), button);
        for (int b = 0; b < 3; ++b) EXPECT_EQ(mixer.monitorButtonLit(b), b == button) << button;
    }
}

// With the headphones on an output of their own the mix stays whole and centred in every mode; the
// buttons choose the deck the headphone bus carries, at the headphone level.
TEST_F(MixerModelTest, OwnHeadphoneOutputKeepsTheMixWholeAndTheButtonsPickTheDeck) {
    lib.phonesBus = true;
    mixer.startUp();
    mixer.setMainVolume(100);
    mixer.setDeckLevel(MixerModel::kLeftDeck, 40);
    mixer.setDeckLevel(MixerModel::kRightDeck, 60);
    mixer.setMonitorLevel(80);
    const struct {
        int button;
        vx::audio::Handle heard;
    } rows[] = {{0, left}, {1, right}, {2, 0}};
    for (const auto& r : rows) {
        mixer.pressMonitor(r.button);
        EXPECT_EQ(volPan(left), VP(40, 0)) << r.button;
        EXPECT_EQ(volPan(right), VP(60, 0)) << r.button;
        EXPECT_EQ(lib.phonesStream, r.heard) << r.button;
        EXPECT_EQ(lib.phonesLevel, 80) << r.button;
    }
}

TEST_F(MixerModelTest, EachStreamIsSetOnceWithItsFinalPan) {
    mixer.pressMonitor(0);
    lib.calls.clear();
    mixer.runVolumeTimer();
    ASSERT_EQ(lib.calls.size(), 2u);
    EXPECT_EQ(lib.calls[0], "setAttributes 1 -1 0 0");
    EXPECT_EQ(lib.calls[1], "setAttributes 2 -1 0 0");
}

TEST_F(MixerModelTest, DecksWithoutAStreamAreSkipped) {
    right = 0;
    lib.calls.clear();
    mixer.setDeckLevel(MixerModel::kLeftDeck, 100);
    ASSERT_EQ(lib.calls.size(), 1u);
    EXPECT_EQ(lib.calls[0].rfind("setAttributes 1 ", 0), 0u);
}

TEST_F(MixerModelTest, AFailedCallIsTheLastResult) {
    lib.freeStream(right);
    lib.errorCode = 0;
    mixer.runVolumeTimer();
    EXPECT_FALSE(mixer.lastResult());
    EXPECT_EQ(mixer.lastError(), vx::audio::kErrHandle);
}

// A cut flickers its own deck out and in at the cut speed, the crossfader swinging between the centre
// and the far end; the other deck never moves; release (even before the first tick, or a stray one)
// centres the crossfader and stops the timer. Every step is announced.
TEST_F(MixerModelTest, CutFlickersItsDeckAndReleaseCentres) {
    struct Row {
        int deck, speed, startFader;
        std::vector<int> faders, volumes;
    };
    const Row rows[] = {{MixerModel::kLeftDeck, 60, 50, {100, 50, 100, 50}, {0, 100, 0, 100}},
                        {MixerModel::kRightDeck, 40, 0, {50, 0, 50, 0}, {100, 0, 100, 0}}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.deck);
        MixerModel m(lib, ticker);
        m.setStreamSource([this](int deck) { return deck == MixerModel::kLeftDeck ? left : right; });
        m.startUp();
        m.setMainVolume(100);
        m.setDeckLevel(MixerModel::kLeftDeck, 100);
        m.setDeckLevel(MixerModel::kRightDeck, 100);
        m.setCutSpeed(r.speed);
        m.setCrossfader(r.startFader);
        int selected = -1, changes = 0;
        m.setSelectDeckHandler([&](int deck) { selected = deck; });
        m.setChangedHandler([&] { ++changes; });
        const auto own = r.deck == MixerModel::kLeftDeck ? left : right;
        const auto other = r.deck == MixerModel::kLeftDeck ? right : left;

        m.pressCut(r.deck);
        EXPECT_EQ(selected, r.deck);
        EXPECT_TRUE(m.cutRunning());
        std::vector<int> faders, volumes;
        for (int i = 0; i < 4; ++i) {
            ticker.advance(r.speed);
            faders.push_back(m.crossfader());
            volumes.push_back(lib.stream(own)->volume);
        }
        EXPECT_EQ(faders, r.faders);
        EXPECT_EQ(volumes, r.volumes);
        EXPECT_EQ(lib.stream(other)->volume, 100);
        EXPECT_EQ(changes, 4);

        ticker.advance(r.speed / 2);
        m.releaseCut();
        EXPECT_EQ(changes, 5);
        EXPECT_FALSE(m.cutRunning());
        EXPECT_EQ(m.crossfader(), 50);
        ticker.advance(600);
        EXPECT_EQ(m.crossfader(), 50);
    }
    mixer.setCrossfader(90);
    mixer.pressCut(MixerModel::kRightDeck);
    mixer.releaseCut();  // released before the first tick
    EXPECT_EQ(mixer.crossfader(), 50);
    mixer.setCrossfader(3);
    mixer.releaseCut();  // a stray release also centres
    EXPECT_EQ(mixer.crossfader(), 50);
}

}  // namespace
