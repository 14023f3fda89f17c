#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/sound_library.h"

namespace vx::audio {

struct SourceInfo {
    int rate = 0;                      // the file's own sample rate
    int channels = 0;                  // as stored in the file (the output is always stereo)
    std::int64_t estimatedFrames = 0;  // from the container's duration; 0 when unknown
    std::string container;             // the demuxer's name, e.g. "mp3", "asf", "wav"
    // What the stored 16-bit samples are multiplied by when played: 2 for floating-point sources, kept
    // 6 dB down so that their overs survive; 1 for the rest.
    float sampleGain = 1.0f;
};

// A thin owner of one FFmpeg demuxer + decoder + converter that turns a file into interleaved
// 16-bit stereo at the file's own rate (mono duplicated, more channels mixed down). Sources finer than
// 16 bits are rounded with triangular dither; 16-bit sources are copied bit for bit. No FFmpeg type
// leaves this file pair. Not thread-safe: one thread at a time (the opener, then the decoder thread).
class FfmpegSource {
  public:
    // Opens `path` for `family`: ASF containers belong to Family::WindowsMedia only, everything else to
    // Family::Plain only. On failure returns null and sets *error (kErrFileOpen: cannot be read;
    // kErrFormat: not audio, not this family, or no decoder). With `outputRate` above 0 the frames come
    // resampled to that rate (the analysis' fixed rate); info() still tells the file's own.
    static std::unique_ptr<FfmpegSource> open(const std::string& path, Family family, int* error,
                                              int outputRate = 0);
    ~FfmpegSource();

    const SourceInfo& info() const;
    // Decodes at least one more packet, replacing `out` by the frames it gave (possibly none).
    // Returns false once the file is exhausted (the last frames may come with that false) or a read fails.
    bool decodeMore(std::vector<std::int16_t>& out);

  private:
    struct Impl;
    explicit FfmpegSource(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vx::audio
