#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/default_output.h"
#include "audio/output.h"

namespace vx::audio {

// Keeps the PortAudio library initialised while alive (one per engine). No PortAudio type leaves
// this file pair.
class PortAudioSystem {
  public:
    PortAudioSystem();
    ~PortAudioSystem();
    PortAudioSystem(const PortAudioSystem&) = delete;
    PortAudioSystem& operator=(const PortAudioSystem&) = delete;
    bool ok() const { return ok_; }
    // The devices that can play stereo, numbered 1..n by the engine.
    std::vector<OutputDevice> outputDevices() const;
    // Opens device `device` (-1 the default, 1..n) for `rate` Hz stereo, pulling from `mixer` in
    // blocks of deviceBlockFrames() and asking for `latencySeconds` of output latency. The default is
    // the first device of defaultOutputOrder() that opens. Null and *error (kErrDevice, kErrDriver) on
    // failure.
    std::unique_ptr<Output> open(int device, int rate, double latencySeconds, Mixer* mixer, int* error) const;

  private:
    bool ok_ = false;
};

}  // namespace vx::audio
