#pragma once

#include <atomic>
#include <thread>

#include "audio/output.h"

namespace vx::audio {

// Output device 0, "No sound": a thread that renders the mix block by block at the pace of real time
// and throws it away, so that positions, levels and the end of a song behave as with a sound card.
class SilentOutput : public Output {
  public:
    SilentOutput(Mixer* mixer, int rate) : mixer_(mixer), rate_(rate) {}
    ~SilentOutput() override { stop(); }
    bool start() override;
    void stop() override;
    bool running() const override { return thread_.joinable(); }

  private:
    void run();

    Mixer* mixer_;
    int rate_;
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

}  // namespace vx::audio
