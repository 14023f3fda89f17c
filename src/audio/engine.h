#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "audio/engine_factory.h"
#include "audio/output_health.h"
#include "audio/sound_library.h"
#include "audio/track.h"

namespace vx::audio {

class CallbackObserver;
class ClockBridge;
class Mixer;
class Output;
class PortAudioSystem;
struct Command;
struct Stream;

// The program's sound library. Every SoundLibrary call is the UI thread's; the mix runs on the
// output's thread (PortAudio's callback, or the silent clock of device 0), or, for tests and
// benchmarks, wherever render() is called after initOffline().
class Engine : public SoundLibrary {
  public:
    explicit Engine(const EngineOptions& options);
    ~Engine() override;

    std::string deviceDescription(int index) override;
    bool init(int device, std::uint32_t frequency) override;
    bool start() override;
    bool stop() override;
    bool shutdown() override;
    bool setBufferLength(double seconds) override;
    void setOutputLatency(double seconds) override { latencySeconds_ = seconds; }
    int lastError() const override { return error_; }
    std::uint64_t dropouts() const override;

    Handle createStream(Family family, const std::string& path, std::uint32_t flags) override;
    std::unique_ptr<PreparedStream> prepareStream(Family family, const std::string& path) override;
    Handle createPrepared(std::unique_ptr<PreparedStream> prepared, std::uint32_t flags) override;
    bool preBuffer(Handle h) override;
    bool play(Handle h) override;
    bool pause(Handle h) override;
    bool resume(Handle h) override;
    bool stopChannel(Handle h) override;
    bool freeStream(Handle h) override;
    int activity(Handle h) override;
    std::int64_t length(Handle h) override;
    bool lengthIsFinal(Handle h) override;
    bool audibleRange(Handle h, std::int64_t* startBytes, std::int64_t* endBytes) override;
    std::int64_t position(Handle h) override;
    bool setPosition(Handle h, std::int64_t bytes) override;
    bool moveBy(Handle h, std::int64_t bytes) override;
    double bytesToSeconds(Handle h, std::int64_t bytes) override;
    std::int64_t secondsToBytes(Handle h, double seconds) override;
    bool attributes(Handle h, int* frequency, int* volume, int* pan) override;
    bool setAttributes(Handle h, int frequency, int volume, int pan) override;
    bool setTrim(Handle h, double db) override;
    std::uint32_t level(Handle h) override;
    bool setLoop(Handle h, std::int64_t start, std::int64_t end) override;
    bool setKeyLock(Handle h, bool on) override;

    bool eqSet(Handle h) override;
    bool eqRemove(Handle h) override;
    bool eqSetParameters(Handle h, const EqBandParams& params) override;
    bool eqGetParameters(Handle h, EqBandParams* params) override;
    bool eqReset(Handle h) override;
    bool eqFree() override;
    void setEqMode(EqMode mode) override { eqMode_ = mode; }

    void setLimiter(bool on) override { limiter_ = on; }
    std::uint32_t limitCount() override;

    bool setOutputTap(FrameRing* ring) override;
    bool outputTapReleased() override;

    void setHeadphones(const PhonesRoute& route) override;
    bool headphonesOwnOutput() override { return initialised_ && phonesOwn_; }
    bool setHeadphoneStream(Handle h, int level) override;

    // The open output's timing since it was opened (zeros offline and while none is open).
    OutputHealth outputHealth() const override;

    // --- offline rendering (tests, benchmarks): no device at all
    // Like init(), but nothing pulls the mix: render() does, as fast as the CPU allows.
    bool initOffline(std::uint32_t frequency);
    // Pre: initOffline() succeeded. Writes `frames` interleaved stereo float frames of the mix, and
    // where `phones` is given the headphone bus's too. Called from the thread that makes the other calls
    // (it plays the audio thread's part). Offline the headphones have their own output whenever the
    // route asks for one.
    void render(float* out, int frames, float* phones = nullptr);
    // Frames by which the rendered sound lags the streams' positions (the limiter's look-ahead).
    int outputLatency() const;

    // --- test seam: hold decoders back after `frames` frames (Track::kUnlimited releases them)
    void setDecodeLimitForNewStreams(std::int64_t frames) { decodeLimit_ = frames; }
    bool setDecodeLimit(Handle h, std::int64_t frames);
    // --- test seam: told on the audio thread when each output callback begins and ends. Pre: set
    // while no output runs; `observer` outlives the engine's outputs.
    void setCallbackObserver(CallbackObserver* observer);

  private:
    bool fail(int code) {
        error_ = code;
        return false;
    }
    bool ok() {
        error_ = kOk;
        return true;
    }
    bool openMixer(std::uint32_t frequency);
    bool openOutputs(int device, int rate, int* error);
    void closeOutputs();
    Stream* find(Handle h);  // sets kErrInit / kErrHandle when it answers null
    void send(const Command& c);
    bool audioThreadRuns() const;
    void collectRetired();
    void releaseStreams();

    EngineOptions options_;
    int error_ = kOk;
    bool initialised_ = false;
    bool offline_ = false;
    bool limiter_ = true;
    double prebufferSeconds_ = 0.1;
    double latencySeconds_ = 0.010;
    EqMode eqMode_ = EqMode::Peaking;
    std::atomic<std::int64_t> decodeLimit_{Track::kUnlimited};  // read by preparing threads
    CallbackObserver* observer_ = nullptr;
    std::uint64_t pastDropouts_ = 0;  // of the outputs closed before
    std::unique_ptr<PortAudioSystem> portAudio_;
    std::unique_ptr<Mixer> mixer_;
    std::unique_ptr<Output> output_;
    // The headphones: where they listen, whether the open output gives them a bus, at what level.
    PhonesRoute phonesRoute_;
    bool phonesOwn_ = false;
    int phonesLevel_ = 0;
    int device_ = kDefaultDevice;
    std::unique_ptr<ClockBridge> bridge_;    // to a second device
    std::unique_ptr<Output> phonesOutput_;  // the second device
    std::map<Handle, std::unique_ptr<Stream>> streams_;
    Handle nextHandle_ = 1;
};

}  // namespace vx::audio
