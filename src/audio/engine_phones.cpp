// The engine's outputs and the headphones: the main output, with channels 3-4 or a second device for the
// headphone bus where the route asks for one and the devices give it.
#include <algorithm>

#include "audio/clock_bridge.h"
#include "audio/engine.h"
#include "audio/mixer.h"
#include "audio/portaudio_output.h"
#include "audio/silent_output.h"

namespace vx::audio {

bool Engine::openOutputs(int device, int rate, int* error) {
    phonesOwn_ = false;
    if (device == kNoSoundDevice) {  // the silent output has no headphones to feed
        output_ = std::make_unique<SilentOutput>(mixer_.get(), rate);
        return true;
    }
    if (!portAudio_) portAudio_ = std::make_unique<PortAudioSystem>();
    if (phonesRoute_.kind == PhonesRoute::Kind::Channels34) {
        output_ = portAudio_->open(device, rate, latencySeconds_, mixer_.get(), error, PhonesFeed{true, nullptr});
    } else if (phonesRoute_.kind == PhonesRoute::Kind::Device) {
        bridge_ = std::make_unique<ClockBridge>(rate, kDeviceBlockFrames, kDeviceBlockFrames);
        phonesOutput_ = portAudio_->openPhones(phonesRoute_.device, rate, bridge_.get(), mixer_.get());
        if (phonesOutput_) {
            output_ = portAudio_->open(device, rate, latencySeconds_, mixer_.get(), error, PhonesFeed{false, bridge_.get()});
        }
        if (!output_) {
            phonesOutput_.reset();
            bridge_.reset();
        }
    }
    phonesOwn_ = output_ != nullptr;
    if (!output_) output_ = portAudio_->open(device, rate, latencySeconds_, mixer_.get(), error);
    return output_ != nullptr;
}

// Pre: both outputs stopped. Their dropouts, and the bridge's, stay counted.
void Engine::closeOutputs() {
    if (output_) pastDropouts_ += output_->health().dropouts;
    if (phonesOutput_) pastDropouts_ += phonesOutput_->health().dropouts;
    if (bridge_) pastDropouts_ += bridge_->glitches();
    phonesOutput_.reset();
    output_.reset();
    bridge_.reset();
}

std::uint64_t Engine::dropouts() const {
    return pastDropouts_ + outputHealth().dropouts + (phonesOutput_ ? phonesOutput_->health().dropouts : 0) +
           (bridge_ ? bridge_->glitches() : 0);
}

void Engine::setHeadphones(const PhonesRoute& route) {
    if (route == phonesRoute_) return;
    phonesRoute_ = route;
    if (!initialised_) return;
    if (offline_) {
        phonesOwn_ = route.ownOutput();
        return;
    }
    // The streams stay with the mixer; only the devices are opened anew.
    const bool wasRunning = output_->running();
    stop();
    closeOutputs();
    int error = kErrDriver;
    if (!openOutputs(device_, mixer_->outRate(), &error)) {
        // The device that played a moment ago refuses now: keep time silently rather than stop the decks.
        output_ = std::make_unique<SilentOutput>(mixer_.get(), mixer_->outRate());
    }
    if (wasRunning) start();
}

bool Engine::setHeadphoneStream(Handle h, int level) {
    if (!initialised_) return fail(kErrInit);
    phonesLevel_ = std::clamp(level, 0, 100);
    for (auto& [handle, stream] : streams_) {
        stream->controls.phones.store(handle == h ? phonesLevel_ : 0, std::memory_order_relaxed);
    }
    return ok();
}

}  // namespace vx::audio
