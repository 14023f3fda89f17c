#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "audio/frame_ring.h"
#include "audio/sound_library.h"

namespace vx::audio {

class AudioFileWriter;

// Writes what the listener hears to a FLAC or WAV file while the program plays. The audio thread copies
// every block it renders into a ring (SoundLibrary::setOutputTap) and never waits; a writer thread of
// the recorder's own drains the ring into the file and hands it to the system about once a second, so
// a killed program leaves all but the last second or so. When the ring is full the audio thread drops
// the frames and counts them. A failing write (a full disk) ends the recording; what was written stays
// a playable file.
//
// Every call is the UI thread's. A recording ends in two steps that never block the window: stop()
// asks the audio thread to let go of the ring, and poll() (on every display tick) completes the file
// once it has. finish() does both at once, waiting.
class Recorder {
  public:
    enum class State { Idle, Recording, Stopping };

    explicit Recorder(SoundLibrary& library, double ringSeconds = 10.0);
    ~Recorder();  // finishes a recording in progress
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Creates the file (its extension picks the format) and starts copying the output at `rate` Hz.
    // False with error() when the file cannot be created or the library cannot record.
    bool start(const std::string& path, int rate);
    void stop();
    // Moves a recording along: a failed write stops it; a stopped one is completed once the audio
    // thread has let go. Answers true in the call in which the recording became Idle.
    bool poll();
    // Stops and completes the file now, waiting as long as that takes.
    void finish();

    State state() const { return state_; }
    const std::string& path() const { return path_; }
    int rate() const { return rate_; }
    // The position in the recorded sound, in frames (dropped frames included, so that it keeps time).
    std::uint64_t framesCaptured() const { return ring_ ? ring_->framesOffered() : lastCaptured_; }
    std::uint64_t framesDropped() const { return ring_ ? ring_->framesDropped() : lastDropped_; }
    // What ended the last recording badly (a write failure), empty when it ended well.
    const std::string& error() const { return error_; }
    // CPU seconds the writer thread of the last completed recording used (encoding and writing).
    double writerCpuSeconds() const { return writerCpu_.load(); }

  private:
    void run();  // the writer thread
    bool drain(bool* failed);
    void complete();  // joins the writer, frees the ring

    SoundLibrary& library_;
    const double ringSeconds_;
    State state_ = State::Idle;
    std::string path_;
    int rate_ = 44100;
    std::string error_;
    std::uint64_t lastCaptured_ = 0, lastDropped_ = 0;

    std::unique_ptr<FrameRing> ring_;
    std::unique_ptr<AudioFileWriter> writer_;  // the writer thread's while it runs
    std::thread thread_;
    std::mutex mutex_;  // guards the wake-ups between the UI and writer threads only
    std::condition_variable wake_;
    bool released_ = false;  // the audio thread let go: write the rest and close
    std::atomic<bool> writeFailed_{false};
    std::atomic<bool> done_{false};  // the writer thread has closed the file
    std::atomic<double> writerCpu_{0.0};
};

}  // namespace vx::audio
