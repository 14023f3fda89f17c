// The engine's output tap: what the listener hears, copied by the audio thread into a recorder's ring.
#include "audio/engine.h"
#include "audio/mixer.h"

namespace vx::audio {

bool Engine::setOutputTap(FrameRing* ring) {
    if (!initialised_ || !mixer_) return fail(kErrInit);
    mixer_->setTap(ring);
    return ok();
}

bool Engine::outputTapReleased() {
    if (!mixer_) return true;  // shut down: nothing renders any more
    // Without an audio thread (stopped, or offline where the caller renders) nobody is inside a block.
    if (!audioThreadRuns()) mixer_->acknowledgeTap();
    return mixer_->tapReleased();
}

}  // namespace vx::audio
