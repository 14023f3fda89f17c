#pragma once

#include "audio/output_health.h"

namespace vx::audio {

class Mixer;

// Something that pulls the mix in real time: a sound card, or the silent "No sound" clock.
class Output {
  public:
    virtual ~Output() = default;
    virtual bool start() = 0;  // false: the device refused
    virtual void stop() = 0;   // returns once the mixer is no longer being called
    virtual bool running() const = 0;
    // Its dropouts since it was opened; an output that cannot tell answers zeros.
    virtual OutputHealth health() const { return {}; }
};

inline constexpr int kDeviceBlockFrames = 256;  // about 6 ms at 44100 Hz

// The block a device is asked for when it should answer within `latencySeconds`: kDeviceBlockFrames, or
// the largest power of two (at least 64 frames) that fits the latency, so a short latency holds two blocks.
int deviceBlockFrames(double latencySeconds, int rate);

}  // namespace vx::audio
