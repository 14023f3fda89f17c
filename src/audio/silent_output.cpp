#include "audio/silent_output.h"

#include <array>
#include <chrono>

#include "audio/mixer.h"

namespace vx::audio {

bool SilentOutput::start() {
    if (thread_.joinable()) return true;
    quit_.store(false);
    thread_ = std::thread([this] { run(); });
    return true;
}

void SilentOutput::stop() {
    quit_.store(true);
    if (thread_.joinable()) thread_.join();
}

void SilentOutput::run() {
    std::array<float, 2 * kDeviceBlockFrames> block{};
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(kDeviceBlockFrames) / rate_));
    auto next = Clock::now();
    while (!quit_.load(std::memory_order_acquire)) {
        {
            const CallbackScope scope(mixer_->callbackObserver());
            mixer_->render(block.data(), kDeviceBlockFrames);
        }
        next += period;
        const auto now = Clock::now();
        if (next < now - 10 * period) next = now;  // after a long hiccup, do not race to catch up
        std::this_thread::sleep_until(next);
    }
}

}  // namespace vx::audio
