#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "audio/sound_library.h"

namespace vx::test {

// A sound library without sound: streams are records a test can inspect and steer. Files must be
// announced with addFile() to open; every call is logged by name ("play 1", "setAttributes 1 -1 50 0").
struct FakeFile {
    audio::Family family = audio::Family::Plain;
    std::int64_t lengthBytes = 44100 * 4 * 10;
    int rate = 44100;
};

class FakeSoundLibrary : public audio::SoundLibrary {
public:
    struct Stream {
        std::string path;
        audio::Family family = audio::Family::Plain;
        std::int64_t length = 0;
        bool lengthFinal = true;
        std::int64_t position = 0;
        int activity = audio::kStopped;
        int frequency = 44100, volume = 100, pan = 0;
        std::uint32_t level = 0;
        std::int64_t loopStart = 0, loopEnd = 0;
        std::vector<audio::EqBandParams> eq;  // one per eqSet()
        std::int64_t audibleStart = 0, audibleEnd = -1;  // bytes; audibleEnd -1: not known
    };

    // Steering
    std::map<std::string, FakeFile> files;
    std::vector<std::string> devices{"No sound", "Fake Card"};
    int failInitWith = 0;   // non-zero: init() fails with this code
    int failStartWith = 0;  // non-zero: start() fails with this code
    int errorCode = 0;      // what lastError() answers
    std::string vanishing;  // this file disappears as it is opened (a drive pulled out after the deck's look)

    // Observation
    std::vector<std::string> calls;
    std::map<audio::Handle, Stream> streams;
    double bufferSeconds = 0;
    bool running = false;

    // Called on the thread that prepares a stream (a worker when songs are read off the window thread).
    std::function<void(const std::string& path)> onPrepare;

    void addFile(const std::string& path, FakeFile file = {}) { files[path] = file; }
    bool audibleRange(audio::Handle h, std::int64_t* start, std::int64_t* end) override {
        const Stream* s = stream(h);
        if (!s || s->audibleEnd < 0) return false;
        *start = s->audibleStart;
        *end = s->audibleEnd;
        return true;
    }
    std::unique_ptr<audio::PreparedStream> prepareStream(audio::Family family, const std::string& path) override {
        if (onPrepare) onPrepare(path);
        return SoundLibrary::prepareStream(family, path);
    }
    Stream* stream(audio::Handle h);

    std::string deviceDescription(int index) override;
    bool init(int device, std::uint32_t frequency) override;
    bool start() override;
    bool stop() override { return log("stop"), running = false, true; }
    bool shutdown() override { return log("shutdown"), streams.clear(), true; }
    bool setBufferLength(double seconds) override { return log("setBufferLength"), bufferSeconds = seconds, true; }
    int lastError() const override { return errorCode; }
    std::uint64_t breaks = 0;  // what dropouts() answers
    std::uint64_t dropouts() const override { return breaks; }

    audio::Handle createStream(audio::Family family, const std::string& path, std::uint32_t flags) override;
    bool preBuffer(audio::Handle h) override { return logged("preBuffer " + std::to_string(h), h); }
    bool play(audio::Handle h) override;
    bool pause(audio::Handle h) override;
    bool resume(audio::Handle h) override;
    bool stopChannel(audio::Handle h) override;
    bool freeStream(audio::Handle h) override;
    int activity(audio::Handle h) override { return stream(h) ? stream(h)->activity : audio::kStopped; }
    std::int64_t length(audio::Handle h) override;
    bool lengthIsFinal(audio::Handle h) override { return stream(h) && stream(h)->lengthFinal; }
    std::int64_t position(audio::Handle h) override;
    bool setPosition(audio::Handle h, std::int64_t bytes) override;
    double bytesToSeconds(audio::Handle h, std::int64_t bytes) override;
    std::int64_t secondsToBytes(audio::Handle h, double seconds) override;
    bool attributes(audio::Handle h, int* frequency, int* volume, int* pan) override;
    bool setAttributes(audio::Handle h, int frequency, int volume, int pan) override;
    bool setTrim(audio::Handle h, double) override { return stream(h) != nullptr; }
    std::uint32_t level(audio::Handle h) override { return stream(h) ? stream(h)->level : 0; }
    bool setLoop(audio::Handle h, std::int64_t start, std::int64_t end) override;

    bool eqSet(audio::Handle h) override;
    bool eqRemove(audio::Handle h) override;
    bool eqSetParameters(audio::Handle h, const audio::EqBandParams& params) override;
    bool eqGetParameters(audio::Handle h, audio::EqBandParams* params) override;
    bool eqReset(audio::Handle h) override { return logged("eqReset " + std::to_string(h), h); }
    bool eqFree() override { return log("eqFree"), true; }

    // The output tap: the test plays the audio thread and pushes into it.
    audio::FrameRing* tap = nullptr;
    bool tapRefused = false;
    bool setOutputTap(audio::FrameRing* ring) override {
        if (tapRefused) return false;
        tap = ring;
        return true;
    }

    // Headphones: the route asked for, whether the "output" gives them a bus, what the bus carries.
    audio::PhonesRoute headphones;
    bool phonesBus = false;
    audio::Handle phonesStream = 0;
    int phonesLevel = 0;
    void setHeadphones(const audio::PhonesRoute& route) override { headphones = route; }
    bool headphonesOwnOutput() override { return phonesBus; }
    bool setHeadphoneStream(audio::Handle h, int level) override {
        phonesStream = h;
        phonesLevel = level;
        return true;
    }

private:
    bool fail(int code);
    Stream* logged(const std::string& call, audio::Handle h);  // the call logged (if any), its stream found
    int rateOf(audio::Handle h);                               // 0: no such stream
    void log(std::string call) { calls.push_back(std::move(call)); }
    audio::Handle next_ = 1;
};

}  // namespace vx::test
