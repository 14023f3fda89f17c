#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio/engine.h"
#include "support/signal.h"

namespace vx::test {

// An engine with no device: the test renders the mix itself and measures it.
class OfflineEngine {
  public:
    explicit OfflineEngine(std::uint32_t rate = 44100, bool limiter = true) : rate_(static_cast<int>(rate)) {
        engine.setLimiter(limiter);
        ok_ = engine.initOffline(rate);
    }
    bool ok() const { return ok_; }
    int rate() const { return rate_; }

    // Opens a fixture and waits until it is decoded completely (0 when it does not open).
    audio::Handle open(const std::string& name, audio::Family family = audio::Family::Plain,
                       bool wait = true) {
        const audio::Handle h = engine.createStream(family, fixture(name), audio::kExactSeek);
        if (h && wait) waitDecoded(h);
        return h;
    }
    void waitDecoded(audio::Handle h) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!engine.lengthIsFinal(h) && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // Renders `frames` frames in device-sized blocks.
    Stereo render(int frames, int block = 256) {
        Stereo out(2 * static_cast<std::size_t>(frames));
        for (int done = 0; done < frames; done += block) {
            engine.render(out.data() + 2 * done, std::min(block, frames - done));
        }
        return out;
    }
    Stereo seconds(double s) { return render(static_cast<int>(s * rate_)); }

    audio::Engine engine{audio::EngineOptions{}};

  private:
    int rate_;
    bool ok_ = false;
};

}  // namespace vx::test
