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

// Each stream is set once with its final pan; a deck without a stream is skipped; a failed call is the
// last result.
TEST_F(MixerModelTest, TheVolumeTimerSetsEachStreamOnce) {
    mixer.pressMonitor(0);
    lib.calls.clear();
    mixer.runVolumeTimer();
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"setAttributes 1 -1 0 0", "setAttributes 2 -1 0 0"}));
    lib.freeStream(right);
    lib.errorCode = 0;
    mixer.runVolumeTimer();
    EXPECT_FALSE(mixer.lastResult());
    EXPECT_EQ(mixer.lastError(), vx::audio::kErrHandle);
    right = 0;
    lib.calls.clear();
    mixer.runVolumeTimer();
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"setAttributes 1 -1 0 0"}));
}

// The left deck's cut is heard through the engine; here, the right deck's swings the crossfader between
// the centre and its far end, announcing every step, and a release (even before the first tick, or a
// stray one) centres the crossfader and stops the timer.
TEST_F(MixerModelTest, CutFlickersItsDeckAndReleaseCentres) {
    mixer.startUp();
    mixer.setMainVolume(100);
    mixer.setDeckLevel(MixerModel::kRightDeck, 100);
    mixer.setCutSpeed(40);
    mixer.setCrossfader(0);
    int selected = -1, changes = 0;
    mixer.setSelectDeckHandler([&](int deck) { selected = deck; });
    mixer.setChangedHandler([&] { ++changes; });
    mixer.pressCut(MixerModel::kRightDeck);
    EXPECT_EQ(selected, MixerModel::kRightDeck);
    std::vector<int> faders, volumes;
    for (int i = 0; i < 4; ++i) {
        ticker.advance(40);
        faders.push_back(mixer.crossfader());
        volumes.push_back(lib.stream(right)->volume);
    }
    EXPECT_EQ(faders, (std::vector<int>{50, 0, 50, 0}));
    EXPECT_EQ(volumes, (std::vector<int>{100, 0, 100, 0}));
    EXPECT_EQ(changes, 4);
    ticker.advance(20);
    mixer.releaseCut();
    EXPECT_EQ(changes, 5);
    EXPECT_FALSE(mixer.cutRunning());
    EXPECT_EQ(mixer.crossfader(), 50);
    ticker.advance(600);
    EXPECT_EQ(mixer.crossfader(), 50);

    mixer.setCrossfader(90);
    mixer.pressCut(MixerModel::kRightDeck);
    mixer.releaseCut();  // released before the first tick
    EXPECT_EQ(mixer.crossfader(), 50);
    mixer.setCrossfader(3);
    mixer.releaseCut();  // a stray release also centres
    EXPECT_EQ(mixer.crossfader(), 50);
}

}  // namespace
