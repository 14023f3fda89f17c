#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/app_lifecycle.h"
#include "app/dj_console.h"
#include "integration/offline_library.h"
#include "support/fakes.h"
#include "support/signal.h"

namespace vx::test {

// The console as the program starts it, on the real engine rendered offline. Sound is pulled one
// device period at a time and the timers tick between periods at the times they fall due, as the
// UI thread would run them beside a sound card. What a test renders is kept; a failed test leaves it
// as a WAV file in the test temp folder.
class LiveConsole : public ::testing::Test {
  protected:
    static constexpr int kRate = 44100;
    static constexpr int kPeriod = 256;        // frames per device period
    static constexpr double kHalfScale = 0.5;  // amplitude of the fixtures' tones

    void SetUp() override;
    void TearDown() override;

    DjConsole& console() { return *console_; }
    Deck& deck(Side side) { return console_->deck(side); }
    MixerModel& mixer() { return console_->mixer(); }
    audio::Handle handle(Side side) { return deck(side).state().streamHandle; }
    // The deck's play position in frames, as the engine reports it.
    std::int64_t frameOf(Side side) { return sound.position(handle(side)) / 4; }

    // Loads a fixture the way the open button does and waits until it is decoded.
    void load(Side side, const std::string& fixtureName) { loadPath(side, fixture(fixtureName)); }
    void loadPath(Side side, const std::string& path);
    // Both decks, the crossfader centre and the main volume at full: each deck plays at unit gain.
    void fullLevels();
    // Each deck alone on one output channel at unit gain: the right deck monitored on the left channel,
    // the crossfader hard left so that the right channel carries the left deck only.
    void splitDecks();

    // `seconds` of sound. With `ticking`, the timers run between periods when they fall due; without,
    // the UI thread is held up for the whole stretch and no timer fires.
    Stereo play(double seconds, bool ticking = true);
    Stereo playFrames(int frames, bool ticking = true);

    // Runs after every period (a test's own probe of the engine).
    std::function<void()> afterPeriod;

    QTemporaryDir dir;
    OfflineLibrary sound;
    FakeDialogs dialogs;
    MemorySettings store;
    FakeTicker ticker;
    std::unique_ptr<AppLifecycle> app;
    std::unique_ptr<DjConsole> console_;

  private:
    double clockMs_ = 0;
    int tickerMs_ = 0;
    Stereo recorded_;
};

}  // namespace vx::test
