#include "support/fake_sound_library.h"

#include <cmath>
#include <cstdio>

namespace vx::test {

using audio::Handle;

namespace {
std::string named(const char* call, Handle h) { return call + std::to_string(h); }
}  // namespace

FakeSoundLibrary::Stream* FakeSoundLibrary::stream(Handle h) {
    auto it = streams.find(h);
    return it == streams.end() ? nullptr : &it->second;
}

bool FakeSoundLibrary::fail(int code) {
    errorCode = code;
    return false;
}

FakeSoundLibrary::Stream* FakeSoundLibrary::logged(const std::string& call, Handle h) {
    if (!call.empty()) log(call);
    Stream* s = stream(h);
    if (!s) fail(audio::kErrHandle);
    return s;
}

std::string FakeSoundLibrary::deviceDescription(int index) {
    return index >= 0 && index < static_cast<int>(devices.size()) ? devices[index] : std::string();
}

bool FakeSoundLibrary::init(int device, std::uint32_t frequency) {
    log("init " + std::to_string(device) + " " + std::to_string(frequency));
    if (failInitWith) return fail(failInitWith);
    errorCode = 0;
    return true;
}

bool FakeSoundLibrary::start() {
    log("start");
    if (failStartWith) return fail(failStartWith);
    return running = true;
}

Handle FakeSoundLibrary::createStream(audio::Family family, const std::string& path, std::uint32_t) {
    log(std::string(family == audio::Family::WindowsMedia ? "createStream wma " : "createStream plain ") + path);
    if (!vanishing.empty() && path == vanishing) {
        std::remove(path.c_str());
        files.erase(path);
    }
    auto it = files.find(path);
    if (it == files.end()) return fail(audio::kErrFileOpen), 0;
    if (it->second.family != family) return fail(audio::kErrFormat), 0;
    Stream s;
    s.path = path;
    s.family = family;
    s.length = it->second.lengthBytes;
    s.frequency = it->second.rate;
    streams[next_] = s;
    errorCode = 0;
    return next_++;
}

bool FakeSoundLibrary::play(Handle h) {
    Stream* s = logged(named("play ", h), h);
    return s && (s->activity = audio::kPlaying, true);
}

bool FakeSoundLibrary::pause(Handle h) {
    Stream* s = logged(named("pause ", h), h);
    if (!s) return false;
    if (s->activity != audio::kPlaying && s->activity != audio::kStalled) return fail(audio::kErrNotPlaying);
    return s->activity = audio::kPaused, true;
}

bool FakeSoundLibrary::resume(Handle h) {
    Stream* s = logged(named("resume ", h), h);
    if (!s) return false;
    if (s->activity != audio::kPaused) return fail(audio::kErrNotPaused);
    return s->activity = audio::kPlaying, true;
}

bool FakeSoundLibrary::stopChannel(Handle h) {
    Stream* s = logged(named("stopChannel ", h), h);
    return s && (s->activity = audio::kStopped, true);
}

bool FakeSoundLibrary::freeStream(Handle h) {
    log(named("freeStream ", h));
    return streams.erase(h) != 0 || fail(audio::kErrHandle);
}

std::int64_t FakeSoundLibrary::length(Handle h) {
    Stream* s = logged({}, h);
    return s ? s->length : -1;
}

std::int64_t FakeSoundLibrary::position(Handle h) {
    Stream* s = logged({}, h);
    return s ? s->position : -1;
}

bool FakeSoundLibrary::setPosition(Handle h, std::int64_t bytes) {
    Stream* s = logged(named("setPosition ", h) + " " + std::to_string(bytes), h);
    if (!s) return false;
    if (bytes < 0 || bytes > s->length) return fail(audio::kErrPosition);
    return s->position = bytes - bytes % 4, true;
}

int FakeSoundLibrary::rateOf(Handle h) {
    Stream* s = logged({}, h);
    const auto it = s ? files.find(s->path) : files.end();
    return !s ? 0 : it == files.end() ? 44100 : it->second.rate;
}

double FakeSoundLibrary::bytesToSeconds(Handle h, std::int64_t bytes) {
    const int rate = rateOf(h);
    return rate ? static_cast<double>(bytes) / (4.0 * rate) : -1.0;
}

std::int64_t FakeSoundLibrary::secondsToBytes(Handle h, double seconds) {
    const int rate = rateOf(h);
    return rate ? static_cast<std::int64_t>(std::llround(seconds * rate)) * 4 : -1;
}

bool FakeSoundLibrary::attributes(Handle h, int* frequency, int* volume, int* pan) {
    Stream* s = logged({}, h);
    if (!s) return false;
    if (frequency) *frequency = s->frequency;
    if (volume) *volume = s->volume;
    if (pan) *pan = s->pan;
    return true;
}

bool FakeSoundLibrary::setAttributes(Handle h, int frequency, int volume, int pan) {
    Stream* s = logged(named("setAttributes ", h) + " " + std::to_string(frequency) + " " + std::to_string(volume) +
                           " " + std::to_string(pan),
                       h);
    if (!s) return false;
    if (frequency != audio::kKeepFrequency) s->frequency = frequency;
    if (volume != audio::kKeepVolume) s->volume = volume;
    if (pan != audio::kKeepPan) s->pan = pan;
    return true;
}

bool FakeSoundLibrary::setLoop(Handle h, std::int64_t start, std::int64_t end) {
    Stream* s = logged(named("setLoop ", h) + " " + std::to_string(start) + " " + std::to_string(end), h);
    if (!s) return false;
    s->loopStart = start;
    s->loopEnd = end;
    return true;
}

bool FakeSoundLibrary::eqSet(Handle h) {
    Stream* s = logged(named("eqSet ", h), h);
    if (!s) return false;
    audio::EqBandParams p;
    p.band = static_cast<std::int32_t>(s->eq.size());
    s->eq.push_back(p);
    return true;
}

bool FakeSoundLibrary::eqRemove(Handle h) {
    Stream* s = logged(named("eqRemove ", h), h);
    return s && (s->eq.clear(), true);
}

bool FakeSoundLibrary::eqSetParameters(Handle h, const audio::EqBandParams& p) {
    Stream* s = logged(named("eqSetParameters ", h) + " " + std::to_string(p.band), h);
    if (!s) return false;
    if (p.band < 0 || p.band >= static_cast<int>(s->eq.size())) return fail(audio::kErrIllegalParam);
    return s->eq[p.band] = p, true;
}

bool FakeSoundLibrary::eqGetParameters(Handle h, audio::EqBandParams* p) {
    Stream* s = logged({}, h);
    if (!s) return false;
    if (!p || p->band < 0 || p->band >= static_cast<int>(s->eq.size())) return fail(audio::kErrIllegalParam);
    return *p = s->eq[p->band], true;
}

}  // namespace vx::test
