#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "services/streams.h"

namespace vx {

// The stream primitives a deck plays through: opening a file with its messages, play, resume, position
// and the clock texts. The program serves them with vx::Streams (StreamsTransport); tests with a fake.
// Channel-wide operations (pause, stop, frequency, level, loop region, equaliser) go straight to the
// sound library.
class DeckTransport {
  public:
    virtual ~DeckTransport() = default;

    virtual Streams::Opened openStream(const QString& path) = 0;  // handle 0 on failure (messages shown)
    // openStream() for a deck that does not wait for it: `done` gets the result on the UI thread, now or
    // once the file has been read elsewhere, but only if `stillWanted()` still says so by then.
    virtual void openStreamLater(const QString& path, std::function<bool()> stillWanted,
                                 std::function<void(Streams::Opened)> done) {
        const Streams::Opened opened = openStream(path);
        if (stillWanted()) done(opened);
    }
    virtual bool isStreamPlaying(audio::Handle h) = 0;            // playing or stalled; paused is not
    virtual bool playStream(audio::Handle h, StreamKind kind) = 0;
    virtual bool resumeStream(audio::Handle h, StreamKind kind) = 0;
    virtual std::int64_t getStreamPosition(audio::Handle h, StreamKind kind) = 0;
    virtual bool setStreamPosition(audio::Handle h, StreamKind kind, std::int64_t bytes) = 0;
    virtual std::int64_t songLengthBytes(audio::Handle h) = 0;
    virtual QString songLengthText(audio::Handle h, std::int64_t lengthBytes) = 0;
    virtual QString getTimeRemain(audio::Handle h, std::int64_t lengthBytes, std::int64_t positionBytes) = 0;
};

}  // namespace vx
