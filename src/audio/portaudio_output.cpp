#include "audio/portaudio_output.h"

#include <cstdlib>

#include <portaudio.h>

#include <algorithm>

#include "audio/mixer.h"
#include "audio/sound_library.h"

namespace vx::audio {

namespace {

std::vector<PaDeviceIndex> stereoOutputs() {
    std::vector<PaDeviceIndex> found;
    const int n = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < n; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && info->maxOutputChannels >= 2) found.push_back(i);
    }
    return found;
}

class PortAudioOutput : public Output {
  public:
    explicit PortAudioOutput(PaStream* stream) : stream_(stream) {}
    ~PortAudioOutput() override {
        stop();
        Pa_CloseStream(stream_);
    }
    bool start() override {
        if (Pa_IsStreamActive(stream_) == 1) return true;
        return Pa_StartStream(stream_) == paNoError;
    }
    void stop() override {
        if (Pa_IsStreamStopped(stream_) == 0) Pa_StopStream(stream_);
    }
    bool running() const override { return Pa_IsStreamActive(stream_) == 1; }

    // Audio thread.
    static int callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* mixer) {
        static_cast<Mixer*>(mixer)->render(static_cast<float*>(output), static_cast<int>(frames));
        return paContinue;
    }

  private:
    PaStream* stream_;
};

}  // namespace

namespace {
bool startPortAudio() {
    // Probing the JACK back end must never launch a JACK server behind the user's back.
    setenv("JACK_NO_START_SERVER", "1", 0);
    return Pa_Initialize() == paNoError;
}
}  // namespace

PortAudioSystem::PortAudioSystem() : ok_(startPortAudio()) {}

PortAudioSystem::~PortAudioSystem() {
    if (ok_) Pa_Terminate();
}

std::vector<std::string> PortAudioSystem::outputDevices() const {
    std::vector<std::string> names;
    if (!ok_) return names;
    for (PaDeviceIndex i : stereoOutputs()) names.emplace_back(Pa_GetDeviceInfo(i)->name);
    return names;
}

std::unique_ptr<Output> PortAudioSystem::open(int device, int rate, Mixer* mixer, int* error) const {
    *error = kErrDriver;
    if (!ok_) return nullptr;
    PaDeviceIndex index = paNoDevice;
    if (device == kDefaultDevice) {
        index = Pa_GetDefaultOutputDevice();
    } else {
        const auto outputs = stereoOutputs();
        if (device < 1 || device > static_cast<int>(outputs.size())) {
            *error = kErrDevice;
            return nullptr;
        }
        index = outputs[static_cast<std::size_t>(device - 1)];
    }
    const PaDeviceInfo* info = index == paNoDevice ? nullptr : Pa_GetDeviceInfo(index);
    if (!info) return nullptr;
    PaStreamParameters params{};
    params.device = index;
    params.channelCount = 2;
    params.sampleFormat = paFloat32;
    params.suggestedLatency = std::max(info->defaultLowOutputLatency, 0.010);
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, nullptr, &params, rate, kDeviceBlockFrames, paNoFlag,
                      &PortAudioOutput::callback, mixer) != paNoError) {
        return nullptr;
    }
    *error = kOk;
    return std::make_unique<PortAudioOutput>(stream);
}

}  // namespace vx::audio
