#include "audio/portaudio_output.h"

#include <cstdlib>

#include <pa_jack.h>
#include <portaudio.h>

#include <algorithm>
#include <array>

#include "audio/clock_bridge.h"
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

// "ALSA: hw:0,0", "JACK: system": the sound system first, as the device list shows it.
std::string describe(const PaDeviceInfo& info, HostApi api) {
    const char* system = "ALSA";
    if (api == HostApi::Jack) {
        system = "JACK";
    } else if (api == HostApi::Other) {
        const PaHostApiInfo* apiInfo = Pa_GetHostApiInfo(info.hostApi);
        system = apiInfo && apiInfo->name ? apiInfo->name : "Other";
    }
    return std::string(system) + ": " + info.name;
}

HostApi hostApiOf(const PaDeviceInfo& info) {
    const PaHostApiInfo* api = Pa_GetHostApiInfo(info.hostApi);
    if (!api) return HostApi::Other;
    if (api->type == paALSA) return HostApi::Alsa;
    if (api->type == paJACK) return HostApi::Jack;
    return HostApi::Other;
}

// One PortAudio stream. A main output renders the mix (and the headphone bus, where it feeds one); a
// headphone output plays what its bridge carries from the main output's clock.
class PortAudioOutput : public Output {
  public:
    PortAudioOutput(Mixer* mixer, int rate, double latencySeconds, PhonesFeed feed, ClockBridge* pulls)
        : mixer_(mixer),
          rate_(rate),
          wanted_(latencySeconds),
          block_(deviceBlockFrames(latencySeconds, rate)),
          feed_(feed),
          pulls_(pulls) {}
    ~PortAudioOutput() override {
        if (!stream_) return;
        stop();
        Pa_CloseStream(stream_);
    }
    // False when the device refuses the format.
    bool open(PaDeviceIndex index, const PaDeviceInfo& info) {
        PaStreamParameters params{};
        params.device = index;
        params.channelCount = feed_.channels34 ? 4 : 2;
        params.sampleFormat = paFloat32;
        params.suggestedLatency = wanted_;
        if (info.maxOutputChannels < params.channelCount ||
            Pa_OpenStream(&stream_, nullptr, &params, rate_, static_cast<unsigned long>(block_), paNoFlag,
                          &PortAudioOutput::callback, this) != paNoError) {
            stream_ = nullptr;
            return false;
        }
        const PaStreamInfo* streamInfo = Pa_GetStreamInfo(stream_);
        latency_ = streamInfo ? streamInfo->outputLatency : 0.0;
        return true;
    }
    bool start() override {
        if (Pa_IsStreamActive(stream_) == 1) return true;
        health_.arm(lateAfterSeconds(block_, rate_, latency_));
        return Pa_StartStream(stream_) == paNoError;
    }
    void stop() override {
        if (Pa_IsStreamStopped(stream_) == 0) Pa_StopStream(stream_);
    }
    bool running() const override { return Pa_IsStreamActive(stream_) == 1; }
    OutputHealth health() const override {
        OutputHealth h = health_.read();
        h.latencySeconds = latency_;
        return h;
    }

    // Audio thread.
    static int callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags flags, void* self) {
        auto* me = static_cast<PortAudioOutput*>(self);
        const CallbackScope scope(me->mixer_->callbackObserver());
        me->health_.record(frames, (flags & paOutputUnderflow) != 0);
        me->serve(static_cast<float*>(output), static_cast<int>(frames));
        return paContinue;
    }

  private:
    void serve(float* out, int frames) {
        if (pulls_) {
            const double now = steadySeconds();
            for (int done = 0; done < frames;) {
                const int n = std::min(frames - done, kDeviceBlockFrames);
                pulls_->pull(out + 2 * done, n, now + static_cast<double>(done) / rate_);
                done += n;
            }
        } else if (feed_.bridge) {
            const double now = steadySeconds();
            for (int done = 0; done < frames;) {
                const int n = std::min(frames - done, kMaxBlock);
                mixer_->render(out + 2 * done, n, phones_.data());
                feed_.bridge->push(phones_.data(), n, now + static_cast<double>(done) / rate_);
                done += n;
            }
        } else if (feed_.channels34) {
            for (int done = 0; done < frames;) {
                const int n = std::min(frames - done, kMaxBlock);
                mixer_->render(mix_.data(), n, phones_.data());
                float* o = out + 4 * done;
                for (int k = 0; k < n; ++k, o += 4) {
                    o[0] = mix_[2 * k];
                    o[1] = mix_[2 * k + 1];
                    o[2] = phones_[2 * k];
                    o[3] = phones_[2 * k + 1];
                }
                done += n;
            }
        } else {
            mixer_->render(out, frames);
        }
    }

    Mixer* mixer_;
    int rate_;
    double wanted_;
    int block_;
    PhonesFeed feed_;
    ClockBridge* pulls_;  // a headphone output's source; null on a main output
    PaStream* stream_ = nullptr;
    double latency_ = 0;
    OutputHealthMeter health_;
    std::array<float, 2 * kMaxBlock> mix_{}, phones_{};
};

// The headphone device's own latency: its ring holds the drift anyway, so it needs no choice of its own.
constexpr double kPhonesLatencySeconds = 0.010;

bool startPortAudio() {
    // Probing the JACK back end must never launch a JACK server behind the user's back.
    setenv("JACK_NO_START_SERVER", "1", 0);
    // The name Velumix's ports carry in a JACK graph.
    PaJack_SetClientName("Velumix");
    return Pa_Initialize() == paNoError;
}

}  // namespace

PortAudioSystem::PortAudioSystem() : ok_(startPortAudio()) {}

PortAudioSystem::~PortAudioSystem() {
    if (ok_) Pa_Terminate();
}

std::vector<OutputDevice> PortAudioSystem::outputDevices() const {
    std::vector<OutputDevice> devices;
    if (!ok_) return devices;
    const PaDeviceIndex libraryDefault = Pa_GetDefaultOutputDevice();
    for (PaDeviceIndex i : stereoOutputs()) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        const HostApi api = hostApiOf(*info);
        devices.push_back({info->name, api, i == libraryDefault, describe(*info, api)});
    }
    return devices;
}

std::unique_ptr<Output> PortAudioSystem::open(int device, int rate, double latencySeconds, Mixer* mixer,
                                              int* error, PhonesFeed feed) const {
    *error = kErrDriver;
    if (!ok_) return nullptr;
    const auto outputs = stereoOutputs();
    std::vector<std::size_t> tries;
    if (device == kDefaultDevice) {
        tries = defaultOutputOrder(outputDevices());
    } else if (device >= 1 && device <= static_cast<int>(outputs.size())) {
        tries.push_back(static_cast<std::size_t>(device - 1));
    } else {
        *error = kErrDevice;
        return nullptr;
    }
    for (std::size_t i : tries) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(outputs[i]);
        if (!info) continue;
        auto output = std::make_unique<PortAudioOutput>(mixer, rate, latencySeconds, feed, nullptr);
        if (output->open(outputs[i], *info)) {
            *error = kOk;
            return output;
        }
    }
    return nullptr;
}

std::unique_ptr<Output> PortAudioSystem::openPhones(const std::string& name, int rate, ClockBridge* bridge,
                                                    Mixer* mixer) const {
    if (!ok_) return nullptr;
    for (PaDeviceIndex i : stereoOutputs()) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        // Named as PortAudio names it, or as the device list shows it ("ALSA: ...").
        if (!info || (name != info->name && name != describe(*info, hostApiOf(*info)))) continue;
        auto output = std::make_unique<PortAudioOutput>(mixer, rate, kPhonesLatencySeconds, PhonesFeed{}, bridge);
        if (output->open(i, *info)) return output;
    }
    return nullptr;
}

}  // namespace vx::audio
