#include "audio/track.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace vx::audio {

Track::Track(std::unique_ptr<FfmpegSource> source, std::int64_t limit)
    : source_(std::move(source)), info_(source_->info()), buffer_(info_.estimatedFrames), limit_(limit) {}

std::unique_ptr<Track> Track::open(const std::string& path, Family family, int* error,
                                   std::int64_t decodeLimit) {
    auto source = FfmpegSource::open(path, family, error);
    if (!source) return nullptr;
    std::unique_ptr<Track> track(new Track(std::move(source), decodeLimit));
    // The first few thousand frames are decoded here, so that playback can start on the next block
    // without waiting for the decoder thread to be scheduled, and so that the decoder's speed is known.
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::int16_t> pcm;
    bool more = true;
    std::int64_t decoded = 0;
    while (more && decoded < std::min(kFastProof, decodeLimit)) {
        more = track->source_->decodeMore(pcm);
        track->take(pcm);
        decoded = track->buffer_.available();
    }
    if (decoded == 0) {
        *error = kErrFormat;
        return nullptr;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (decoded >= kFastProof && static_cast<double>(decoded) >= 4.0 * track->info_.rate * seconds) {
        track->buffer_.markFast();  // four times real time or better: playback cannot catch up with it
    }
    if (!more) {
        track->finish();
        track->source_.reset();
    } else {
        track->thread_ = std::thread([t = track.get()] { t->run(); });
    }
    *error = kOk;
    return track;
}

Track::~Track() {
    quit_.store(true, std::memory_order_release);
    if (thread_.joinable()) thread_.join();
}

bool Track::take(const std::vector<std::int16_t>& pcm) {
    const auto frames = static_cast<std::int64_t>(pcm.size() / 2);
    if (!buffer_.append(pcm.data(), frames)) return false;
    span_.feed(pcm.data(), frames);
    return true;
}

void Track::finish() {
    audibleFirst_.store(span_.first(), std::memory_order_relaxed);
    audibleEnd_.store(span_.end(), std::memory_order_release);
    buffer_.finish();
}

bool Track::audibleRange(std::int64_t* first, std::int64_t* end) const {
    const std::int64_t e = audibleEnd_.load(std::memory_order_acquire);
    if (e < 0) return false;
    *first = audibleFirst_.load(std::memory_order_relaxed);
    *end = e;
    return true;
}

std::int64_t Track::lengthFrames() const {
    const std::int64_t have = buffer_.available();
    return buffer_.isFinal() ? have : std::max(have, info_.estimatedFrames);
}

void Track::run() {
    std::vector<std::int16_t> pcm;
    pcm.reserve(1 << 16);
    bool more = true;
    const auto started = std::chrono::steady_clock::now();
    const std::int64_t first = buffer_.available();
    while (more && !quit_.load(std::memory_order_acquire)) {
        if (buffer_.available() >= limit_.load(std::memory_order_acquire)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        more = source_->decodeMore(pcm);
        if (!pcm.empty() && !take(pcm)) more = false;
        const std::int64_t decoded = buffer_.available() - first;
        if (!buffer_.decoderIsFast() && decoded >= kFastProof) {
            // Four times real time or better: playback can never catch up with this decoder.
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            if (static_cast<double>(decoded) >= 4.0 * info_.rate * seconds) buffer_.markFast();
        }
    }
    if (!more) finish();
    source_.reset();  // closes the file as soon as it is read
}

}  // namespace vx::audio
