#pragma once

#include <QString>
#include <cstdint>

#include "audio/sound_library.h"
#include "services/streams.h"

namespace vx {

// What one deck remembers. Positions and lengths are byte positions in the decoded stream.
struct DeckState {
    // the song
    QString fileName;
    audio::Handle streamHandle = 0;
    StreamKind streamKind = StreamKind::None;
    std::int64_t songLength = 0;
    bool lengthFinal = true;  // false while the engine still estimates the length
    int baseFrequency = 44100;

    // transport and cue
    std::int64_t cuePoint = 1;
    std::int64_t prevCuePoint = 0;
    std::int64_t olderCuePoint = 0;
    bool isPaused = false;
    bool isCued = false;
    bool cueBackHeld = false;
    bool cueForwardHeld = false;

    // loops
    std::int64_t loopStart = 0;
    std::int64_t loopEnd = 0;  // 0: none
    bool loopActive = false;
    std::int64_t savedLoopStart = 0;
    bool savedLoopMode = false;  // the running loop came from a loop file

    // pitch: 0..2000 slider positions, 1000 = no change, lower = slower (slider top)
    int pitchSlider = 1000;
    int pitchValue = 1000;
    int lastPitchSlider = 1000;
    bool bendPlusHeld = false;
    bool bendMinusHeld = false;

    bool eqOn = false;
    bool keyLock = false;  // the tempo moves with the pitch slider, the key stays


    int lastProgress = 0;  // progress the display tick found last time
};

}  // namespace vx
