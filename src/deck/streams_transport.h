#pragma once

#include "deck/deck_transport.h"
#include "services/song_opener.h"
#include "services/streams.h"

namespace vx {

// The decks' transport served by the program's Streams.
class StreamsTransport : public DeckTransport {
  public:
    explicit StreamsTransport(Streams& streams) : streams_(streams) {}
    // From now on decks read their songs on workers of `opener` (null: on the UI thread again).
    void setOpener(SongOpener* opener) { opener_ = opener; }

    Streams::Opened openStream(const QString& path) override { return streams_.openStream(path); }
    void openStreamLater(const QString& path, std::function<bool()> stillWanted,
                         std::function<void(Streams::Opened)> done) override {
        if (!opener_) return DeckTransport::openStreamLater(path, std::move(stillWanted), std::move(done));
        opener_->open(path, std::move(stillWanted), std::move(done));
    }
    bool isStreamPlaying(audio::Handle h) override { return streams_.isStreamPlaying(h); }
    bool playStream(audio::Handle h, StreamKind kind) override { return streams_.playStream(h, kind); }
    bool resumeStream(audio::Handle h, StreamKind kind) override { return streams_.resumeStream(h, kind); }
    std::int64_t getStreamPosition(audio::Handle h, StreamKind kind) override {
        return streams_.getStreamPosition(h, kind);
    }
    bool setStreamPosition(audio::Handle h, StreamKind kind, std::int64_t bytes) override {
        return streams_.setStreamPosition(h, kind, bytes);
    }
    std::int64_t songLengthBytes(audio::Handle h) override { return streams_.songLengthBytes(h); }
    QString songLengthText(audio::Handle h, std::int64_t lengthBytes) override {
        return streams_.songLengthText(h, lengthBytes);
    }
    QString getTimeRemain(audio::Handle h, std::int64_t lengthBytes, std::int64_t positionBytes) override {
        return streams_.getTimeRemain(h, lengthBytes, positionBytes);
    }

  private:
    Streams& streams_;
    SongOpener* opener_ = nullptr;
};

}  // namespace vx
