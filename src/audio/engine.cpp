#include "audio/engine.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/clock_bridge.h"
#include "audio/mixer.h"
#include "audio/portaudio_output.h"
#include "audio/silent_output.h"

namespace vx::audio {

std::unique_ptr<SoundLibrary> createEngine(const EngineOptions& options) {
    return std::make_unique<Engine>(options);
}

Engine::Engine(const EngineOptions& options) : options_(options) {}

Engine::~Engine() {
    if (initialised_) shutdown();
}

std::string Engine::deviceDescription(int index) {
    if (index == kNoSoundDevice) return "No sound";
    // Without sound the cards are neither listed nor probed: the device system is never started.
    if (index < 1 || options_.forceNoSound) return {};
    if (!portAudio_) portAudio_ = std::make_unique<PortAudioSystem>();
    const auto names = portAudio_->outputDevices();
    return index <= static_cast<int>(names.size()) ? names[static_cast<std::size_t>(index - 1)].description
                                                   : std::string();
}

bool Engine::openMixer(std::uint32_t frequency) {
    if (initialised_) return fail(kErrAlready);
    if (frequency != 44100 && frequency != 22050) return fail(kErrFrequency);
    mixer_ = std::make_unique<Mixer>(static_cast<int>(frequency), limiter_);
    mixer_->setPrebufferSeconds(prebufferSeconds_);
    mixer_->setCallbackObserver(observer_);
    return true;
}

bool Engine::init(int device, std::uint32_t frequency) {
    if (options_.forceNoSound) device = kNoSoundDevice;
    if (initialised_) return fail(kErrAlready);
    if (device < kDefaultDevice) return fail(kErrDevice);
    if (!openMixer(frequency)) return false;
    int error = kErrDriver;
    if (!openOutputs(device, static_cast<int>(frequency), &error)) {
        mixer_.reset();
        return fail(error);
    }
    device_ = device;
    initialised_ = true;
    offline_ = false;
    return ok();
}

bool Engine::initOffline(std::uint32_t frequency) {
    if (!openMixer(frequency)) return false;
    phonesOwn_ = phonesRoute_.ownOutput();
    initialised_ = true;
    offline_ = true;
    return ok();
}

void Engine::render(float* out, int frames, float* phones) {
    if (!offline_ || !mixer_) return;
    mixer_->render(out, frames, phones);
    collectRetired();
}

void Engine::setCallbackObserver(CallbackObserver* observer) {
    observer_ = observer;
    if (mixer_) mixer_->setCallbackObserver(observer);
}

int Engine::outputLatency() const {
    return mixer_ ? mixer_->latency() : 0;
}

std::uint32_t Engine::limitCount() {
    return mixer_ ? mixer_->limitedBlocks() : 0;
}

bool Engine::start() {
    if (!initialised_) return fail(kErrInit);
    if (offline_) return ok();
    if (!output_->start()) return fail(kErrDriver);
    // Headphones that will not start leave the mix playing: the DJ still has the main output.
    if (phonesOutput_) phonesOutput_->start();
    return ok();
}

bool Engine::stop() {
    if (!initialised_) return fail(kErrInit);
    if (output_) output_->stop();
    if (phonesOutput_) phonesOutput_->stop();
    return ok();
}

bool Engine::shutdown() {
    if (!initialised_) return fail(kErrInit);
    stop();
    releaseStreams();
    closeOutputs();
    mixer_.reset();
    initialised_ = offline_ = phonesOwn_ = false;
    return ok();
}

OutputHealth Engine::outputHealth() const {
    return output_ ? output_->health() : OutputHealth{};
}

bool Engine::setBufferLength(double seconds) {
    prebufferSeconds_ = std::clamp(seconds, 0.0, 10.0);
    if (mixer_) mixer_->setPrebufferSeconds(prebufferSeconds_);
    return ok();
}

bool Engine::audioThreadRuns() const {
    return !offline_ && output_ && output_->running();
}

void Engine::send(const Command& c) {
    // The audio thread drains the queue every few milliseconds; a full queue means it has stalled. Wait
    // for it without spinning, and give the command up after two seconds rather than hang the window
    // (a stream whose removal is given up is leaked, never freed under the audio thread).
    for (int waited = 0; !mixer_->post(c); ++waited) {
        if (!audioThreadRuns()) {
            mixer_->applyPending();
        } else if (waited < 2000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else {
            return;
        }
    }
    // With no audio thread the UI thread plays its part, so that a freed stream dies now; offline the
    // next render() applies the commands in order with the sound.
    if (!offline_ && !audioThreadRuns()) mixer_->applyPending();
    collectRetired();
}

void Engine::collectRetired() {
    if (!mixer_) return;
    while (Stream* s = mixer_->takeRetired()) delete s;
}

void Engine::releaseStreams() {
    for (auto& [handle, stream] : streams_) {
        Command c;
        c.type = Command::Remove;
        c.stream = stream.release();
        send(c);
    }
    streams_.clear();
    mixer_->applyPending();  // the output is stopped: nobody else will
    collectRetired();
}

Stream* Engine::find(Handle h) {
    if (!initialised_) return fail(kErrInit), nullptr;
    collectRetired();
    const auto it = streams_.find(h);
    if (it == streams_.end()) return fail(kErrHandle), nullptr;
    error_ = kOk;
    return it->second.get();
}

}  // namespace vx::audio
