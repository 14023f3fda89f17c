#pragma once

#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/app_lifecycle.h"
#include "app/dj_console.h"
#include "audio/engine.h"
#include "audio/output.h"
#include "bench_doubles.h"
#include "options/settings.h"
#include "services/ticker.h"

// The program started in this process on the engine rendered offline, for the console's figures.
namespace vx::bench {

class OfflineEngine : public audio::Engine {
  public:
    OfflineEngine() : Engine(audio::EngineOptions{}) {}
    bool init(int, std::uint32_t frequency) override { return initOffline(frequency); }
};

// Timers that keep their settings and never fire: the benchmark calls the ticks itself.
class HandTicker : public Ticker {
    struct HandTimer : Timer {
        int ms;
        bool on = false;
        explicit HandTimer(int m) : ms(m) {}
        void setInterval(int m) override { ms = m; }
        int interval() const override { return ms; }
        void setEnabled(bool e) override { on = e; }
        bool isEnabled() const override { return on; }
        void setSingleShot(bool) override {}
    };

  public:
    std::unique_ptr<Timer> createTimer(int ms, std::function<void()>) override {
        return std::make_unique<HandTimer>(ms);
    }
};

// The program's start on the offline engine.
struct Session {
    QTemporaryDir dir;
    OfflineEngine sound;
    QuietDialogs dialogs;
    MemoryStore store;
    HandTicker ticker;
    std::unique_ptr<AppLifecycle> app;

    Session() {
        store.write("InitQuality", kCdQuality);
        app = std::make_unique<AppLifecycle>(sound, dialogs, store, ticker, AppPaths::under(dir.path()), [] {
            audio::LibraryInfo info;
            info.ffmpegPresent = info.portaudioPresent = info.windowsMedia = true;
            return info;
        });
        app->start();
    }
    void render(std::vector<float>& block) { sound.render(block.data(), audio::kDeviceBlockFrames); }
    void waitDecoded(DjConsole& console) {
        for (Side side : {Side::Left, Side::Right}) {
            const auto h = console.deck(side).state().streamHandle;
            const auto t0 = std::chrono::steady_clock::now();
            while (!sound.lengthIsFinal(h) && std::chrono::steady_clock::now() - t0 < std::chrono::minutes(1))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

// Both decks loaded, the left one equalised, both playing.
inline void loadAndPlay(DjConsole& console, Session& s, const std::filesystem::path& left,
                        const std::filesystem::path& right) {
    console.deck(Side::Left).loadSong(QString::fromStdString(left.string()));
    console.deck(Side::Right).loadSong(QString::fromStdString(right.string()));
    s.waitDecoded(console);
    console.deck(Side::Left).eq_Click();
    console.deck(Side::Left).play_Click();
    console.deck(Side::Right).play_Click();
}

}  // namespace vx::bench
