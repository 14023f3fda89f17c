#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vx::audio {

enum class AudioFileFormat { Flac, Wav };

// The format a file name asks for by its extension (".flac", ".wav", any case); nothing for others.
std::optional<AudioFileFormat> audioFileFormatFor(const std::string& path);

// The 16-bit sample a float sample in [-1, 1] is stored as: scaled by 32768, rounded to the nearest and
// held within the 16-bit range. The decoder's 16-bit sample s reads back as s / 32768, so sound that
// came from 16-bit sources is stored bit for bit.
std::int16_t sampleToInt16(float x);

// Encodes interleaved stereo float frames to a FLAC or WAV file (by its extension), 16-bit, or 24-bit
// on request. No FFmpeg type leaves this file pair.
//
// Every write to the file is checked: a full disk, a quota, an I/O error or a file-size limit stops the
// writer, and error() says what failed and where. What reached the file before stays a file FFmpeg
// decodes (its header from the start tells an unknown length; close() completes it when it can).
// The same frames always give the same bytes: nothing that changes between runs (encoder version,
// time) is stored.
//
// flush() hands everything encoded so far to the system, so a process killed after it leaves those
// frames decodable. Not thread-safe: one thread at a time.
class AudioFileWriter {
  public:
    // Creates (or truncates) the file at `path`. Null with *error set when it cannot be created, the
    // extension names no format we write, or the encoder refuses the rate.
    static std::unique_ptr<AudioFileWriter> create(const std::string& path, int rate, std::string* error,
                                                   int bits = 16);
    ~AudioFileWriter();  // closes the file if close() was not called (its failure then goes unheard)
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // Appends `frames` interleaved stereo frames. False once anything has failed (now or before).
    bool write(const float* interleaved, int frames);
    // Passes every frame written so far to the file (the last partial block of the encoder included
    // only at close()). False on failure.
    bool flush();
    // Encodes what is left and completes the file. False on failure; the file is closed either way.
    bool close();

    bool failed() const;
    const std::string& error() const;  // empty while nothing failed
    std::int64_t framesWritten() const;
    const std::string& path() const;

  private:
    struct Impl;
    explicit AudioFileWriter(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vx::audio
