#pragma once

#include <memory>

#include "audio/sound_library.h"

namespace vx::audio {

struct EngineOptions {
    bool forceNoSound = false;  // --no-sound: every init() opens device 0, the silent real-time output
};

// The program's sound library: FFmpeg decoding, the real-time mixer and PortAudio output.
std::unique_ptr<SoundLibrary> createEngine(const EngineOptions& options);

}  // namespace vx::audio
