#include "integration/live_console.h"

#include <QDir>
#include <chrono>
#include <cmath>
#include <thread>

#include "options/settings.h"
#include "support/fakes.h"

namespace vx::test {

namespace {
constexpr std::size_t kMaxRecordedFrames = 60 * 44100;
}

void LiveConsole::SetUp() {
    store.write("InitQuality", kCdQuality);
    app = std::make_unique<AppLifecycle>(sound, dialogs, store, ticker, AppPaths::under(dir.path()), &test::goodLibraries);
    ASSERT_TRUE(app->start());
    console_ = std::make_unique<DjConsole>(*app, ticker);
    console_->startUp();
}

void LiveConsole::TearDown() {
    if (HasFailure() && !recorded_.empty()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string path =
            ::testing::TempDir() + "/" + info->test_suite_name() + "." + info->name() + ".wav";
        if (writeWav(path, recorded_, kRate))
            std::fprintf(stderr, "rendered sound kept in %s\n", path.c_str());
    }
    if (console_) console_->shutDown();
    console_.reset();
}

void LiveConsole::loadPath(Side side, const std::string& path) {
    ASSERT_TRUE(deck(side).loadSong(QString::fromStdString(path))) << path;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!sound.lengthIsFinal(handle(side)) && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(sound.lengthIsFinal(handle(side)));
}

void LiveConsole::fullLevels() {
    mixer().setDeckLevel(MixerModel::kLeftDeck, mixer().sliderMax());
    mixer().setDeckLevel(MixerModel::kRightDeck, mixer().sliderMax());
    mixer().setMainVolume(mixer().sliderMax());
    mixer().setCrossfader(mixer().crossfaderCentre());
}

void LiveConsole::splitDecks() {
    fullLevels();
    mixer().setMonitorLevel(mixer().sliderMax());
    mixer().pressMonitor(1);
    mixer().setCrossfader(0);
}

Stereo LiveConsole::playFrames(int frames, bool ticking) {
    Stereo out(2 * static_cast<std::size_t>(frames));
    for (int done = 0; done < frames; done += kPeriod) {
        const int n = std::min(kPeriod, frames - done);
        sound.render(out.data() + 2 * done, n);
        clockMs_ += 1000.0 * n / kRate;
        const int now = static_cast<int>(std::floor(clockMs_));
        if (ticking && now > tickerMs_) ticker.advance(now - tickerMs_);
        tickerMs_ = now;  // a held-up UI thread skips the ticks it missed, as a window timer does
        if (afterPeriod) afterPeriod();
    }
    if (recorded_.size() / 2 < kMaxRecordedFrames) recorded_.insert(recorded_.end(), out.begin(), out.end());
    return out;
}

Stereo LiveConsole::play(double seconds, bool ticking) {
    return playFrames(static_cast<int>(std::lround(seconds * kRate)), ticking);
}

}  // namespace vx::test
