#include "support/fake_sound_library.h"

#include <cmath>

namespace vx::test {

using audio::Handle;

FakeSoundLibrary::Stream* FakeSoundLibrary::stream(Handle h) {
    auto it = streams.find(h);
    return it == streams.end() ? nullptr : &it->second;
}

bool FakeSoundLibrary::fail(int code) {
    errorCode = code;
    return false;
}

std::string FakeSoundLibrary::deviceDescription(int index) {
    return index >= 0 && index < static_cast<int>(devices.size()) ? devices[index] : std::string();
}

bool FakeSoundLibrary::init(int device, std::uint32_t frequency) {
    log("init " + std::to_string(device) + " " + std::to_string(frequency));
    if (failInitWith) return fail(failInitWith);
    initDevice = device;
    errorCode = 0;
    return true;
}

bool FakeSoundLibrary::start() {
    log("start");
    if (failStartWith) return fail(failStartWith);
    running = true;
    return true;
}

bool FakeSoundLibrary::stop() {
    log("stop");
    running = false;
    return true;
}

bool FakeSoundLibrary::shutdown() {
    log("shutdown");
    streams.clear();
    return true;
}

bool FakeSoundLibrary::setBufferLength(double seconds) {
    log("setBufferLength");
    bufferSeconds = seconds;
    return true;
}

Handle FakeSoundLibrary::createStream(audio::Family family, const std::string& path, std::uint32_t) {
    log(std::string(family == audio::Family::WindowsMedia ? "createStream wma " : "createStream plain ") + path);
    auto it = files.find(path);
    if (it == files.end()) return fail(audio::kErrFileOpen), 0;
    if (it->second.family != family) return fail(audio::kErrFormat), 0;
    Stream s;
    s.path = path;
    s.family = family;
    s.length = it->second.lengthBytes;
    s.frequency = it->second.rate;
    const Handle h = next_++;
    streams[h] = s;
    errorCode = 0;
    return h;
}

#define FAKE_STREAM_OR_FAIL(h)                       \
    Stream* s = stream(h);                           \
    if (!s) return fail(audio::kErrHandle)

bool FakeSoundLibrary::preBuffer(Handle h) {
    log("preBuffer " + std::to_string(h));
    return stream(h) || fail(audio::kErrHandle);
}

bool FakeSoundLibrary::play(Handle h) {
    log("play " + std::to_string(h));
    FAKE_STREAM_OR_FAIL(h);
    s->activity = audio::kPlaying;
    return true;
}

bool FakeSoundLibrary::pause(Handle h) {
    log("pause " + std::to_string(h));
    FAKE_STREAM_OR_FAIL(h);
    if (s->activity != audio::kPlaying && s->activity != audio::kStalled) return fail(audio::kErrNotPlaying);
    s->activity = audio::kPaused;
    return true;
}

bool FakeSoundLibrary::resume(Handle h) {
    log("resume " + std::to_string(h));
    FAKE_STREAM_OR_FAIL(h);
    if (s->activity != audio::kPaused) return fail(audio::kErrNotPaused);
    s->activity = audio::kPlaying;
    return true;
}

bool FakeSoundLibrary::stopChannel(Handle h) {
    log("stopChannel " + std::to_string(h));
    FAKE_STREAM_OR_FAIL(h);
    s->activity = audio::kStopped;
    return true;
}

bool FakeSoundLibrary::freeStream(Handle h) {
    log("freeStream " + std::to_string(h));
    if (streams.erase(h) == 0) return fail(audio::kErrHandle);
    return true;
}

int FakeSoundLibrary::activity(Handle h) {
    Stream* s = stream(h);
    return s ? s->activity : audio::kStopped;
}

std::int64_t FakeSoundLibrary::length(Handle h) {
    Stream* s = stream(h);
    return s ? s->length : (fail(audio::kErrHandle), -1);
}

bool FakeSoundLibrary::lengthIsFinal(Handle h) {
    Stream* s = stream(h);
    return s && s->lengthFinal;
}

std::int64_t FakeSoundLibrary::position(Handle h) {
    Stream* s = stream(h);
    return s ? s->position : (fail(audio::kErrHandle), -1);
}

bool FakeSoundLibrary::setPosition(Handle h, std::int64_t bytes) {
    log("setPosition " + std::to_string(h) + " " + std::to_string(bytes));
    FAKE_STREAM_OR_FAIL(h);
    if (bytes < 0 || bytes > s->length) return fail(audio::kErrPosition);
    s->position = bytes - bytes % 4;
    return true;
}

double FakeSoundLibrary::bytesToSeconds(Handle h, std::int64_t bytes) {
    Stream* s = stream(h);
    if (!s) return (fail(audio::kErrHandle), -1.0);
    const auto it = files.find(s->path);
    const int rate = it == files.end() ? 44100 : it->second.rate;
    return static_cast<double>(bytes) / (4.0 * rate);
}

std::int64_t FakeSoundLibrary::secondsToBytes(Handle h, double seconds) {
    Stream* s = stream(h);
    if (!s) return (fail(audio::kErrHandle), -1);
    const auto it = files.find(s->path);
    const int rate = it == files.end() ? 44100 : it->second.rate;
    return static_cast<std::int64_t>(std::llround(seconds * rate)) * 4;
}

bool FakeSoundLibrary::attributes(Handle h, int* frequency, int* volume, int* pan) {
    FAKE_STREAM_OR_FAIL(h);
    if (frequency) *frequency = s->frequency;
    if (volume) *volume = s->volume;
    if (pan) *pan = s->pan;
    return true;
}

bool FakeSoundLibrary::setAttributes(Handle h, int frequency, int volume, int pan) {
    log("setAttributes " + std::to_string(h) + " " + std::to_string(frequency) + " " + std::to_string(volume) +
        " " + std::to_string(pan));
    FAKE_STREAM_OR_FAIL(h);
    if (frequency != audio::kKeepFrequency) s->frequency = frequency;
    if (volume != audio::kKeepVolume) s->volume = volume;
    if (pan != audio::kKeepPan) s->pan = pan;
    return true;
}

std::uint32_t FakeSoundLibrary::level(Handle h) {
    Stream* s = stream(h);
    return s ? s->level : 0;
}

bool FakeSoundLibrary::setLoop(Handle h, std::int64_t start, std::int64_t end) {
    log("setLoop " + std::to_string(h) + " " + std::to_string(start) + " " + std::to_string(end));
    FAKE_STREAM_OR_FAIL(h);
    s->loopStart = start;
    s->loopEnd = end;
    return true;
}

bool FakeSoundLibrary::eqSet(Handle h) {
    log("eqSet " + std::to_string(h));
    FAKE_STREAM_OR_FAIL(h);
    audio::EqBandParams p;
    p.band = static_cast<std::int32_t>(s->eq.size());
    s->eq.push_back(p);
    return true;
}

bool FakeSoundLibrary::eqRemove(Handle h) {
    log("eqRemove " + std::to_string(h));
    FAKE_STREAM_OR_FAIL(h);
    s->eq.clear();
    return true;
}

bool FakeSoundLibrary::eqSetParameters(Handle h, const audio::EqBandParams& p) {
    log("eqSetParameters " + std::to_string(h) + " " + std::to_string(p.band));
    FAKE_STREAM_OR_FAIL(h);
    if (p.band < 0 || p.band >= static_cast<int>(s->eq.size())) return fail(audio::kErrIllegalParam);
    s->eq[p.band] = p;
    return true;
}

bool FakeSoundLibrary::eqGetParameters(Handle h, audio::EqBandParams* p) {
    FAKE_STREAM_OR_FAIL(h);
    if (!p || p->band < 0 || p->band >= static_cast<int>(s->eq.size())) return fail(audio::kErrIllegalParam);
    *p = s->eq[p->band];
    return true;
}

bool FakeSoundLibrary::eqReset(Handle h) {
    log("eqReset " + std::to_string(h));
    return stream(h) || fail(audio::kErrHandle);
}

bool FakeSoundLibrary::eqFree() {
    log("eqFree");
    return true;
}

}  // namespace vx::test
