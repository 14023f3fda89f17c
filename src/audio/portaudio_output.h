#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/default_output.h"
#include "audio/output.h"

namespace vx::audio {

// Keeps the PortAudio library initialised while alive (one per engine). No PortAudio type leaves
// this file pair.
class ClockBridge;

// What a main output does with the headphone bus besides playing the mix: nothing (two channels, the
// headphones split the mix), channels 3-4 of the same device, or hand it to a second device's bridge.
struct PhonesFeed {
    bool channels34 = false;
    ClockBridge* bridge = nullptr;
};

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
    // failure. With `feed.channels34` the device is opened with four channels, and a device with fewer fails.
    std::unique_ptr<Output> open(int device, int rate, double latencySeconds, Mixer* mixer, int* error,
                                 PhonesFeed feed = {}) const;
    // The stereo device called `name` in outputDevices(), playing what `bridge` carries (the main output
    // feeds it); its callbacks are shown to `mixer`'s observer. Null when there is none or it fails.
    std::unique_ptr<Output> openPhones(const std::string& name, int rate, ClockBridge* bridge, Mixer* mixer) const;

  private:
    bool ok_ = false;
};

}  // namespace vx::audio
