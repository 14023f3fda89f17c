#pragma once

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/audible_span.h"
#include "audio/ffmpeg_source.h"
#include "audio/track_buffer.h"

namespace vx::audio {

// One opened music file: its decoded sound and the background thread that decodes it into memory.
// Created and destroyed on the UI thread; the destructor stops and joins the decoder.
class Track {
  public:
    static constexpr std::int64_t kUnlimited = std::numeric_limits<std::int64_t>::max();
    static constexpr std::int64_t kFastProof = 4096;  // frames decoded before the decoder's speed is judged

    // Opens the file for `family` and decodes its first packet before returning, so a file with no
    // decodable sound fails here (kErrFormat) and playback can begin at once. `decodeLimit` holds the
    // decoder back after that many frames (a test seam; kUnlimited in the program).
    static std::unique_ptr<Track> open(const std::string& path, Family family, int* error,
                                       std::int64_t decodeLimit = kUnlimited);
    ~Track();

    const SourceInfo& info() const { return info_; }
    const TrackBuffer& buffer() const { return buffer_; }
    // Frames known so far: the estimate while decoding, exact once the buffer is final.
    std::int64_t lengthFrames() const;
    void setDecodeLimit(std::int64_t frames) { limit_.store(frames, std::memory_order_release); }

    // Sound quieter than this (-60 dBFS) at the very start or end of a track counts as silence.
    static constexpr int kSilencePeak = AudibleSpan::kSilencePeak;
    // Once the whole track is decoded: the frames from its first to past its last sample louder than
    // silence, true; false before that. A track that is all silence answers 0, 0.
    bool audibleRange(std::int64_t* first, std::int64_t* end) const;

  private:
    Track(std::unique_ptr<FfmpegSource> source, std::int64_t limit);
    void run();  // decoder thread
    // Appends decoded frames and notes where the sound is; false when memory ran out.
    bool take(const std::vector<std::int16_t>& pcm);
    void finish();  // the buffer is complete: the audible range becomes known

    std::unique_ptr<FfmpegSource> source_;
    SourceInfo info_;
    TrackBuffer buffer_;
    std::atomic<bool> quit_{false};
    std::atomic<std::int64_t> limit_;
    AudibleSpan span_;  // decoding side only, until finish() publishes it
    std::atomic<std::int64_t> audibleFirst_{0};
    std::atomic<std::int64_t> audibleEnd_{-1};  // -1: not known yet
    std::thread thread_;
};

}  // namespace vx::audio
