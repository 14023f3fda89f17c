// The stream operations of the engine: opening, transport, positions and attributes.
#include <algorithm>
#include <cmath>

#include "audio/engine.h"
#include "audio/mixer.h"

namespace vx::audio {

namespace {

Command command(Command::Type type, Stream* s, std::uint32_t number = 0, std::int64_t a = 0,
                std::int64_t b = 0) {
    Command c;
    c.type = type;
    c.stream = s;
    c.number = number;
    c.a = a;
    c.b = b;
    return c;
}

}  // namespace

namespace {
// A file opened and probed ahead; its decoder is already running.
struct PreparedTrack : PreparedStream {
    using PreparedStream::PreparedStream;
    std::unique_ptr<Track> track;
};
}  // namespace

std::unique_ptr<PreparedStream> Engine::prepareStream(Family family, const std::string& path) {
    auto prepared = std::make_unique<PreparedTrack>(family, path);
    int error = kErrUnknown;
    prepared->track = Track::open(path, family, &error, decodeLimit_.load());
    if (!prepared->track) prepared->error = error;
    return prepared;
}

Handle Engine::createStream(Family family, const std::string& path, std::uint32_t flags) {
    if (!initialised_) return fail(kErrInit), 0;
    return createPrepared(prepareStream(family, path), flags);
}

Handle Engine::createPrepared(std::unique_ptr<PreparedStream> prepared, std::uint32_t flags) {
    if (!initialised_) return fail(kErrInit), 0;
    collectRetired();
    if (streams_.size() >= static_cast<std::size_t>(Mixer::kMaxStreams)) return fail(kErrUnknown), 0;
    auto* ready = dynamic_cast<PreparedTrack*>(prepared.get());
    if (!ready) return fail(kErrUnknown), 0;
    if (!ready->track) return fail(ready->error), 0;
    auto stream = std::make_unique<Stream>();
    stream->track = std::move(ready->track);
    stream->family = prepared->family;
    stream->flags = flags;
    stream->controls.frequency.store(stream->track->info().rate);
    stream->voice.bind(&stream->track->buffer(), stream->track->info().rate, mixer_->outRate(),
                       &stream->controls, &stream->report);
    stream->voice.setSampleGain(stream->track->info().sampleGain);
    Handle h = nextHandle_++;
    while (h == 0 || streams_.count(h)) h = nextHandle_++;
    Stream* s = stream.get();
    streams_.emplace(h, std::move(stream));
    send(command(Command::Add, s));
    ok();
    return h;
}

bool Engine::freeStream(Handle h) {
    if (!find(h)) return false;
    const auto it = streams_.find(h);
    Stream* s = it->second.release();
    streams_.erase(it);
    send(command(Command::Remove, s));  // destroyed once the audio thread has let go of it
    return ok();
}

bool Engine::setDecodeLimit(Handle h, std::int64_t frames) {
    Stream* s = find(h);
    if (!s) return false;
    s->track->setDecodeLimit(frames);
    return true;
}

bool Engine::preBuffer(Handle h) {
    // The mixer itself holds a stream back until the pre-buffer is decoded, so nothing waits here.
    return find(h) != nullptr;
}

bool Engine::play(Handle h) {
    Stream* s = find(h);
    if (!s) return false;
    s->intent = kPlaying;
    send(command(Command::Play, s, ++s->playNumber));
    return true;
}

int Engine::activity(Handle h) {
    Stream* s = find(h);
    if (!s) return kStopped;
    if (s->intent == kPlaying && s->report.endedPlay.load(std::memory_order_acquire) == s->playNumber) {
        s->intent = kStopped;  // ran into the end of the sound
    }
    if (s->intent != kPlaying) return s->intent;
    return s->report.stalled.load(std::memory_order_relaxed) ? kStalled : kPlaying;
}

bool Engine::pause(Handle h) {
    const int now = activity(h);
    Stream* s = find(h);
    if (!s) return false;
    if (now != kPlaying && now != kStalled) return fail(kErrNotPlaying);
    s->intent = kPaused;
    send(command(Command::Pause, s));
    return true;
}

bool Engine::resume(Handle h) {
    const int now = activity(h);
    Stream* s = find(h);
    if (!s) return false;
    if (now != kPaused) return fail(kErrNotPaused);
    s->intent = kPlaying;
    send(command(Command::Play, s, ++s->playNumber));
    return true;
}

bool Engine::stopChannel(Handle h) {
    Stream* s = find(h);
    if (!s) return false;
    s->intent = kStopped;
    send(command(Command::Stop, s));
    return true;
}

std::int64_t Engine::length(Handle h) {
    Stream* s = find(h);
    return s ? s->track->lengthFrames() * 4 : -1;
}

bool Engine::audibleRange(Handle h, std::int64_t* startBytes, std::int64_t* endBytes) {
    Stream* s = find(h);
    std::int64_t first = 0, end = 0;
    if (!s || !s->track->audibleRange(&first, &end)) return false;
    *startBytes = first * 4;
    *endBytes = end * 4;
    return true;
}

bool Engine::lengthIsFinal(Handle h) {
    Stream* s = find(h);
    return s && s->track->buffer().isFinal();
}

std::int64_t Engine::position(Handle h) {
    Stream* s = find(h);
    if (!s) return -1;
    std::int64_t frame = s->requestedFrame;
    if (s->report.appliedSeek.load(std::memory_order_acquire) == s->seekNumber) {
        frame = s->report.position.load(std::memory_order_acquire);
    }
    return std::clamp<std::int64_t>(frame, 0, s->track->lengthFrames()) * 4;
}

bool Engine::setPosition(Handle h, std::int64_t bytes) {
    Stream* s = find(h);
    if (!s) return false;
    const std::int64_t frame = bytes / 4;
    if (bytes < 0 || frame > s->track->lengthFrames()) return fail(kErrPosition);
    s->requestedFrame = frame;
    send(command(Command::Seek, s, ++s->seekNumber, frame));
    return true;
}

bool Engine::moveBy(Handle h, std::int64_t bytes) {
    Stream* s = find(h);
    if (!s) return false;
    const std::int64_t length = s->track->lengthFrames();
    // Until the audio thread takes it, the position reads as the move made from the last one reported.
    s->requestedFrame = std::clamp<std::int64_t>(position(h) / 4 + bytes / 4, 0, length);
    send(command(Command::Seek, s, ++s->seekNumber, bytes / 4, length + 1));
    return true;
}

double Engine::bytesToSeconds(Handle h, std::int64_t bytes) {
    Stream* s = find(h);
    return s ? static_cast<double>(bytes) / (4.0 * s->track->info().rate) : -1.0;
}

std::int64_t Engine::secondsToBytes(Handle h, double seconds) {
    Stream* s = find(h);
    return s ? static_cast<std::int64_t>(std::llround(seconds * s->track->info().rate)) * 4 : -1;
}

bool Engine::attributes(Handle h, int* frequency, int* volume, int* pan) {
    Stream* s = find(h);
    if (!s) return false;
    if (frequency) *frequency = s->controls.frequency.load();
    if (volume) *volume = s->controls.volume.load();
    if (pan) *pan = s->controls.pan.load();
    return true;
}

bool Engine::setAttributes(Handle h, int frequency, int volume, int pan) {
    Stream* s = find(h);
    if (!s) return false;
    // Out-of-range values are pulled into range: a control never fails half-way through a gesture.
    if (frequency != kKeepFrequency) s->controls.frequency.store(std::clamp(frequency, 100, 200000));
    if (volume != kKeepVolume) s->controls.volume.store(std::clamp(volume, 0, 100));
    if (pan != kKeepPan) s->controls.pan.store(std::clamp(pan, -100, 100));
    return true;
}

bool Engine::setTrim(Handle h, double db) {
    Stream* s = find(h);
    if (!s) return false;
    s->controls.trim.store(static_cast<float>(std::pow(10.0, std::clamp(db, -40.0, 40.0) / 20.0)));
    return ok();
}

std::uint32_t Engine::level(Handle h) {
    const int now = activity(h);
    Stream* s = find(h);
    if (!s || (now != kPlaying && now != kStalled)) return 0;
    return s->report.level.load(std::memory_order_relaxed);
}

bool Engine::setLoop(Handle h, std::int64_t start, std::int64_t end) {
    Stream* s = find(h);
    if (!s) return false;
    if (end <= start) start = end = 0;
    if (start < 0) return fail(kErrPosition);
    s->loopStart = start / 4;
    s->loopEnd = end / 4;
    send(command(Command::Loop, s, 0, s->loopStart, s->loopEnd));
    return true;
}

bool Engine::setKeyLock(Handle h, bool on) {
    Stream* s = find(h);
    if (!s) return false;
    // The stretcher and its buffers are made here, once per stream, never on the audio thread.
    if (on && !s->keyLock) s->keyLock = std::make_unique<KeyLock>(mixer_->outRate());
    Command c = command(Command::KeyLock, s, on ? 1 : 0);
    c.keyLock = s->keyLock.get();
    send(c);
    return true;
}

}  // namespace vx::audio
