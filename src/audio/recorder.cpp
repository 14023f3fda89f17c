#include "audio/recorder.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "audio/audio_file_writer.h"

namespace vx::audio {

namespace {
constexpr auto kWriterPeriod = std::chrono::milliseconds(50);
}

Recorder::Recorder(SoundLibrary& library, double ringSeconds)
    : library_(library), ringSeconds_(ringSeconds) {}

Recorder::~Recorder() {
    finish();
}

bool Recorder::start(const std::string& path, int rate) {
    if (state_ != State::Idle) {
        error_ = "A recording is already running";
        return false;
    }
    error_.clear();
    std::string error;
    auto writer = AudioFileWriter::create(path, rate, &error);
    if (!writer) {
        error_ = error;
        return false;
    }
    // Sized before the audio thread sees it: the thread only ever copies into it.
    auto ring = std::make_unique<FrameRing>(static_cast<std::size_t>(ringSeconds_ * rate));
    if (!library_.setOutputTap(ring.get())) {
        writer->close();
        std::remove(path.c_str());  // nothing was recorded into it
        error_ = "The sound output cannot be recorded";
        return false;
    }
    path_ = path;
    rate_ = rate;
    ring_ = std::move(ring);
    writer_ = std::move(writer);
    released_ = false;
    writeFailed_.store(false);
    done_.store(false);
    thread_ = std::thread([this] { run(); });
    state_ = State::Recording;
    return true;
}

void Recorder::stop() {
    if (state_ != State::Recording) return;
    library_.setOutputTap(nullptr);
    state_ = State::Stopping;
}

bool Recorder::poll() {
    if (state_ == State::Recording && writeFailed_.load()) stop();
    if (state_ != State::Stopping) return false;
    if (!released_ && library_.outputTapReleased()) {
        std::lock_guard lock(mutex_);
        released_ = true;
        wake_.notify_one();
    }
    if (!done_.load()) return false;
    complete();
    return true;
}

void Recorder::finish() {
    stop();
    while (state_ == State::Stopping && !poll()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void Recorder::complete() {
    if (thread_.joinable()) thread_.join();
    if (writer_ && writer_->failed()) error_ = writer_->error();
    writer_.reset();
    lastCaptured_ = ring_->framesOffered();
    lastDropped_ = ring_->framesDropped();
    ring_.reset();  // the audio thread has let go of it
    state_ = State::Idle;
}

bool Recorder::drain(bool* failed) {
    std::size_t wrote = 0;
    const float* data = nullptr;
    while (const std::size_t n = ring_->readable(&data)) {
        if (!writer_->write(data, static_cast<int>(n))) {
            *failed = true;
            return wrote > 0;
        }
        ring_->consume(n);
        wrote += n;
    }
    return wrote > 0;
}

// The writer thread: drains the ring every few tens of milliseconds and hands the file to the system
// about once a second; once the audio thread has let go it writes the rest and completes the file.
void Recorder::run() {
    bool failed = false;
    std::int64_t flushedAt = 0;
    for (bool last = false; !last;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, kWriterPeriod, [this] { return released_; });
            last = released_;
        }
        if (failed) continue;
        drain(&failed);
        if (!failed && writer_->framesWritten() - flushedAt >= rate_) {
            failed = !writer_->flush();
            flushedAt = writer_->framesWritten();
        }
        if (failed) writeFailed_.store(true);
    }
    writer_->close();  // after a failure it keeps the header that tells an unknown length
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    writerCpu_.store(static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9);
    done_.store(true);
}

}  // namespace vx::audio
