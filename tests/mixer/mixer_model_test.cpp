#include "mixer/mixer_model.h"

#include <gtest/gtest.h>

#include "support/fake_sound_library.h"
#include "support/fake_ticker.h"

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
    FakeTicker::State& cutTimer() { return *ticker.timers().at(0); }

    FakeSoundLibrary lib;
    FakeTicker ticker;
    MixerModel mixer;
    vx::audio::Handle left = 0, right = 0;
};

using VP = std::pair<int, int>;

TEST_F(MixerModelTest, StartsLikeTheWindowDesignAndStartUpSelectsStereo) {
    EXPECT_EQ(mixer.sliderMax(), 100);
    EXPECT_EQ(mixer.crossfaderCentre(), 50);
    EXPECT_EQ(mixer.crossfader(), 50);
    EXPECT_EQ(mixer.mainVolume(), 70);
    EXPECT_EQ(mixer.monitorMode(), 1);
    EXPECT_EQ(mixer.litMonitorButton(), -1);
    EXPECT_FALSE(mixer.cutRunning());
    EXPECT_EQ(cutTimer().interval, 60);

    mixer.startUp();
    EXPECT_EQ(mixer.monitorMode(), 3);
    EXPECT_EQ(mixer.litMonitorButton(), 2);
    EXPECT_EQ(mixer.mainVolume(), 50);
    EXPECT_EQ(mixer.crossfader(), 50);
}

TEST_F(MixerModelTest, EveryControlAppliesTheMixToBothStreams) {
    mixer.startUp();
    mixer.setMainVolume(70);
    mixer.setDeckLevel(MixerModel::kLeftDeck, 50);
    mixer.setDeckLevel(MixerModel::kRightDeck, 50);
    EXPECT_EQ(mixer.leftOutputLevel(), 35);
    EXPECT_EQ(mixer.rightOutputLevel(), 35);
    EXPECT_EQ(volPan(left), VP(35, 0));
    EXPECT_EQ(volPan(right), VP(35, 0));

    mixer.setCrossfader(0);
    EXPECT_EQ(mixer.rightOutputLevel(), 0);
    EXPECT_EQ(volPan(right), VP(0, 0));
    mixer.setCrossfader(100);
    EXPECT_EQ(mixer.leftOutputLevel(), 0);
    EXPECT_EQ(volPan(left), VP(0, 0));
    EXPECT_EQ(volPan(right), VP(35, 0));

    mixer.setMainVolume(0);
    EXPECT_EQ(volPan(right), VP(0, 0));
    EXPECT_TRUE(mixer.lastResult());
}

TEST_F(MixerModelTest, ValuesAreClampedToTheSliderRange) {
    mixer.setCrossfader(250);
    EXPECT_EQ(mixer.crossfader(), 100);
    mixer.setDeckLevel(MixerModel::kLeftDeck, -5);
    EXPECT_EQ(mixer.deckLevel(MixerModel::kLeftDeck), 0);
    mixer.setMonitorLevel(101);
    EXPECT_EQ(mixer.monitorLevel(), 100);
}

TEST_F(MixerModelTest, MonitorButtonsSplitTheOutput) {
    mixer.startUp();
    mixer.setMainVolume(100);
    mixer.setDeckLevel(MixerModel::kLeftDeck, 40);
    mixer.setDeckLevel(MixerModel::kRightDeck, 60);
    mixer.setMonitorLevel(80);

    mixer.pressMonitor(0);  // headphones on the left deck
    EXPECT_EQ(mixer.monitorMode(), 1);
    EXPECT_TRUE(mixer.monitorButtonLit(0));
    EXPECT_FALSE(mixer.monitorButtonLit(1));
    EXPECT_FALSE(mixer.monitorButtonLit(2));
    EXPECT_EQ(volPan(left), VP(80, -50));   // 80 left, 40 right
    EXPECT_EQ(volPan(right), VP(60, 100));  // mix only

    mixer.pressMonitor(1);
    EXPECT_EQ(mixer.monitorMode(), 2);
    EXPECT_EQ(mixer.litMonitorButton(), 1);
    EXPECT_EQ(volPan(left), VP(40, 100));
    EXPECT_EQ(volPan(right), VP(80, -25));  // 80 left, 60 right

    mixer.setMonitorLevel(0);  // headphones down: the monitored deck keeps its mix on the right
    EXPECT_EQ(volPan(right), VP(60, 100));

    mixer.pressMonitor(2);
    EXPECT_EQ(mixer.monitorMode(), 3);
    EXPECT_EQ(volPan(left), VP(40, 0));
    EXPECT_EQ(volPan(right), VP(60, 0));
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

TEST_F(MixerModelTest, LeftCutFlickersTheLeftDeckOutAndIn) {
    mixer.startUp();
    mixer.setMainVolume(100);
    mixer.setDeckLevel(MixerModel::kLeftDeck, 100);
    mixer.setDeckLevel(MixerModel::kRightDeck, 100);
    int selected = -1;
    mixer.setSelectDeckHandler([&](int deck) { selected = deck; });

    mixer.pressCut(MixerModel::kLeftDeck);
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(mixer.cutRunning());
    std::vector<int> faders, leftVolumes;
    for (int i = 0; i < 4; ++i) {
        ticker.advance(60);
        faders.push_back(mixer.crossfader());
        leftVolumes.push_back(lib.stream(left)->volume);
    }
    EXPECT_EQ(faders, (std::vector<int>{100, 50, 100, 50}));
    EXPECT_EQ(leftVolumes, (std::vector<int>{0, 100, 0, 100}));
    EXPECT_EQ(lib.stream(right)->volume, 100);  // the other deck never moves

    ticker.advance(30);
    mixer.releaseCut();
    EXPECT_FALSE(mixer.cutRunning());
    EXPECT_EQ(mixer.crossfader(), 50);
    ticker.advance(600);
    EXPECT_EQ(mixer.crossfader(), 50);
}

TEST_F(MixerModelTest, RightCutFlickersTheRightDeckAndFollowsItsOwnSide) {
    mixer.startUp();
    mixer.setMainVolume(100);
    mixer.setDeckLevel(MixerModel::kRightDeck, 100);
    mixer.setCutSpeed(40);
    EXPECT_EQ(mixer.cutSpeed(), 40);
    mixer.setCrossfader(0);

    mixer.pressCut(MixerModel::kRightDeck);
    std::vector<int> faders, rightVolumes;
    for (int i = 0; i < 4; ++i) {
        ticker.advance(40);
        faders.push_back(mixer.crossfader());
        rightVolumes.push_back(lib.stream(right)->volume);
    }
    EXPECT_EQ(faders, (std::vector<int>{50, 0, 50, 0}));
    EXPECT_EQ(rightVolumes, (std::vector<int>{100, 0, 100, 0}));
}

TEST_F(MixerModelTest, ReleaseAlwaysCentresTheCrossfader) {
    mixer.setCrossfader(90);
    mixer.pressCut(MixerModel::kRightDeck);
    mixer.releaseCut();  // released before the first tick
    EXPECT_EQ(mixer.crossfader(), 50);
    mixer.setCrossfader(3);
    mixer.releaseCut();  // a stray release also centres
    EXPECT_EQ(mixer.crossfader(), 50);
}

TEST_F(MixerModelTest, ChangesAreAnnouncedIncludingTimerSteps) {
    int changes = 0;
    mixer.setChangedHandler([&] { ++changes; });
    mixer.pressCut(MixerModel::kLeftDeck);
    ticker.advance(120);
    EXPECT_EQ(changes, 2);
    mixer.releaseCut();
    EXPECT_EQ(changes, 3);
}

}  // namespace
