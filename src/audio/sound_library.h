#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/eq_design.h"
#include "audio/output_health.h"
#include "audio/phones_route.h"

namespace vx::audio {

class FrameRing;

// A stream handle; 0 means "no stream" and is what every failed create returns.
using Handle = std::uint32_t;

// The two stream families. Every file is offered to the Windows Media family first; that family opens
// only ASF-container files (.wma, .asf, whatever the name says). The plain family opens everything else
// the decoders understand.
enum class Family { WindowsMedia, Plain };

// What channelActivity() answers.
enum Activity : int { kStopped = 0, kPlaying = 1, kStalled = 2, kPaused = 3 };

// Stream flag: seek exactly to the frame (the engine always does; the flag is accepted and kept).
inline constexpr std::uint32_t kExactSeek = 0x20000;

// setAttributes(): keep the current value.
inline constexpr int kKeepFrequency = -1;
inline constexpr int kKeepVolume = -1;
inline constexpr int kKeepPan = -101;

// Output device 0 is the silent real-time output "No sound"; -1 the system default; 1..n real devices.
inline constexpr int kDefaultDevice = -1;
inline constexpr int kNoSoundDevice = 0;

// Failure codes. The numbering is the one the error-text table of the sound system speaks.
enum ErrorCode : int {
    kOk = 0,
    kErrMemory = 1,
    kErrFileOpen = 2,
    kErrDriver = 3,
    kErrHandle = 5,
    kErrFormat = 6,
    kErrPosition = 7,
    kErrInit = 8,
    kErrStart = 9,
    kErrAlready = 14,
    kErrNotPaused = 16,
    kErrIllegalParam = 20,
    kErrDevice = 23,
    kErrNotPlaying = 24,
    kErrFrequency = 25,
    kErrNotAvailable = 37,
    kErrUnknown = -1,
};

// One band of the three-band peaking equaliser (effect 6), exactly the 20-byte little-endian block the
// deck code exchanges: band number, sample rate (the stream's playback frequency), bandwidth in
// octaves, centre in Hz and gain in dB.
struct EqBandParams {
    std::int32_t band = 0;
    std::uint32_t sampleRate = 44100;
    float bandwidth = 2.0f;
    float centre = 1000.0f;
    float gain = 0.0f;
};
static_assert(sizeof(EqBandParams) == 20);

// The slow half of opening a stream (probing the file, decoding its first packet), done ahead of time on
// any thread, so that the window never waits on a file. A library without such a half keeps only what to
// open, and createPrepared() opens it then.
struct PreparedStream {
    PreparedStream(Family f, std::string p) : family(f), path(std::move(p)) {}
    virtual ~PreparedStream() = default;
    Family family;
    std::string path;
    int error = 0;  // non-zero: known already not to open (an ErrorCode)
};

// The sound library: the operations the decks, mixer and start-up rely on. Byte positions and lengths
// count bytes of the decoded sound as 16-bit stereo PCM at the file's own rate (4 bytes a frame).
// Every call is made from the UI thread; the real-time mixing behind it is the implementation's.
// A failing call returns 0/false and sets lastError().
class SoundLibrary {
public:
    virtual ~SoundLibrary() = default;

    // --- the output
    // Name of output device `index` (0 = "No sound", 1..n the sound cards); empty past the last one.
    virtual std::string deviceDescription(int index) = 0;
    // Opens device `device` (-1 default, 0 silent, 1..n) at 44100 or 22050 Hz.
    virtual bool init(int device, std::uint32_t frequency) = 0;
    virtual bool start() = 0;
    virtual bool stop() = 0;
    virtual bool shutdown() = 0;  // releases the output; streams left are freed
    // Pre-buffer in seconds: how much must be decoded ahead before a stream (re)starts after a seek.
    virtual bool setBufferLength(double seconds) = 0;
    virtual int lastError() const = 0;
    // How often the sound broke up (the output ran dry or was served late) since the program started.
    virtual std::uint64_t dropouts() const { return 0; }
    // The output latency to ask the device for; takes effect at the next init().
    virtual void setOutputLatency(double /*seconds*/) {}
    // The open output's own account of its timing and latency (zeros when it cannot tell).
    virtual OutputHealth outputHealth() const { return {}; }

    // --- streams
    virtual Handle createStream(Family family, const std::string& path, std::uint32_t flags) = 0;
    // Thread-safe, and may take long: the part of createStream() that reads the file. Never null.
    virtual std::unique_ptr<PreparedStream> prepareStream(Family family, const std::string& path) {
        return std::make_unique<PreparedStream>(family, path);
    }
    // The rest of it, at once, on the UI thread: the stream of a prepared file, or 0 with lastError().
    virtual Handle createPrepared(std::unique_ptr<PreparedStream> prepared, std::uint32_t flags) {
        return prepared ? createStream(prepared->family, prepared->path, flags) : 0;
    }
    virtual bool preBuffer(Handle h) = 0;
    virtual bool play(Handle h) = 0;  // from the current position
    virtual bool pause(Handle h) = 0;
    virtual bool resume(Handle h) = 0;
    virtual bool stopChannel(Handle h) = 0;
    virtual bool freeStream(Handle h) = 0;
    virtual int activity(Handle h) = 0;  // Activity
    // Length in bytes: an estimate while the background decoder runs, exact once lengthIsFinal().
    virtual std::int64_t length(Handle h) = 0;
    virtual bool lengthIsFinal(Handle h) = 0;
    // Once the whole file is decoded: the bytes from its first to past its last sound louder than
    // -60 dBFS (leading and trailing silence left out). False while that is not known.
    virtual bool audibleRange(Handle /*h*/, std::int64_t* /*startBytes*/, std::int64_t* /*endBytes*/) {
        return false;
    }
    virtual std::int64_t position(Handle h) = 0;
    virtual bool setPosition(Handle h, std::int64_t bytes) = 0;
    // Moves the play position by `bytes` from where the sound is when the move takes effect, so that
    // the time between asking and the next block of sound does not count (beat alignment needs that).
    virtual bool moveBy(Handle h, std::int64_t bytes) {
        const std::int64_t now = position(h);
        return now >= 0 && setPosition(h, std::max<std::int64_t>(0, now + bytes));
    }
    virtual double bytesToSeconds(Handle h, std::int64_t bytes) = 0;
    virtual std::int64_t secondsToBytes(Handle h, double seconds) = 0;
    // Frequency in Hz (100..200000; the file's own rate plays at normal speed), volume 0..100, pan -100..100.
    virtual bool attributes(Handle h, int* frequency, int* volume, int* pan) = 0;
    virtual bool setAttributes(Handle h, int frequency, int volume, int pan) = 0;
    // A gain in dB (-40..+40) applied to the stream before the equaliser; a change glides, taking a
    // few tenths of a second. False when the library has no such gain.
    virtual bool setTrim(Handle /*h*/, double /*db*/) { return false; }
    // Peak of the last ~40 ms: left in the low 16 bits, right in the high 16 bits, each 0..32768.
    virtual std::uint32_t level(Handle h) = 0;
    // Sample-accurate loop: while set, playback wraps from `end` back to `start` (bytes) in the audio
    // thread. end <= start clears the loop.
    virtual bool setLoop(Handle h, std::int64_t start, std::int64_t end) = 0;
    // Key lock: while on, the frequency changes the stream's tempo but not its pitch; switching is
    // click-free, and positions, cues and loops stay where the sound is. Off for a new stream. False
    // when the library cannot.
    virtual bool setKeyLock(Handle /*h*/, bool /*on*/) { return false; }

    // --- the equaliser effect (effect 6)
    virtual bool eqSet(Handle h) = 0;  // adds one band slot (called once per band)
    virtual bool eqRemove(Handle h) = 0;  // removes every band
    virtual bool eqSetParameters(Handle h, const EqBandParams& params) = 0;  // params.band picks the slot
    virtual bool eqGetParameters(Handle h, EqBandParams* params) = 0;  // params->band picks the slot
    // Called on every seek. The filters run on the stream's sound after the jump is crossfaded, so their
    // state carries over and nothing is cleared: clearing it would click.
    virtual bool eqReset(Handle h) = 0;
    virtual bool eqFree() = 0;  // releases the effects side; harmless when nothing is set
    // How the bands shape the sound from the next band change on (the `EQMode` setting).
    virtual void setEqMode(EqMode) {}

    // --- output protection (the defaults suit a library without a limiter)
    // The look-ahead limiter before the output: on unless switched off; takes effect at the next init().
    virtual void setLimiter(bool /*on*/) {}
    // Grows (and wraps) every time the output had to be held down: limited, or clipped with the limiter off.
    virtual std::uint32_t limitCount() { return 0; }

    // --- recording what is heard (the defaults suit a library that cannot)
    // From its next block on, the audio thread copies the output (after the limiter) into `ring` as
    // well; null stops the copying. False when the library cannot (no output open, or no such feature).
    virtual bool setOutputTap(FrameRing* /*ring*/) { return false; }
    // Whether the audio thread has let go of every ring given before: a ring may be freed only then.
    virtual bool outputTapReleased() { return true; }

    // --- headphones on an output of their own (the defaults suit a library with one stereo output)
    // Where the headphones listen, from now on: an open output is reopened at once. A route the devices
    // cannot give (fewer than four channels, no such second device) leaves the headphones on the split.
    virtual void setHeadphones(const PhonesRoute& /*route*/) {}
    // Whether the open output has a headphone bus of its own; false: the mixer splits the main output.
    virtual bool headphonesOwnOutput() { return false; }
    // The stream the headphone bus carries, in stereo at `level` 0..100, whatever its volume and pan in
    // the mix; 0 for none.
    virtual bool setHeadphoneStream(Handle /*h*/, int /*level*/) { return false; }
};

}  // namespace vx::audio
