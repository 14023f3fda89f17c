#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/key_lock.h"
#include "audio/sound_library.h"
#include "audio/track.h"
#include "audio/voice.h"

namespace vx::audio {

// One stream: created and destroyed on the UI thread; while the mixer holds it, `voice` belongs to the
// audio thread and the two threads meet only in `controls`, `report` and the command queue.
struct Stream {
    std::unique_ptr<Track> track;
    Family family = Family::Plain;
    std::uint32_t flags = 0;
    VoiceControls controls;
    VoiceReport report;
    std::unique_ptr<KeyLock> keyLock;  // made when key lock is first asked for; the voice uses it
    Voice voice;  // audio thread only

    // UI thread only
    int intent = kStopped;            // what the UI last asked for: stopped, playing or paused
    std::uint32_t playNumber = 0;     // counts play/resume requests
    std::uint32_t seekNumber = 0;     // counts seeks
    std::int64_t requestedFrame = 0;  // the last seek, answered until the audio thread has applied it
    std::vector<EqBandParams> eq;     // one per band slot
    std::int64_t loopStart = 0, loopEnd = 0;
};

}  // namespace vx::audio
