#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "audio/callback_observer.h"
#include "audio/eq_design.h"
#include "audio/frame_ring.h"
#include "audio/limiter.h"
#include "audio/spsc_queue.h"
#include "audio/stream.h"

namespace vx::audio {

// A discrete request from the UI thread, applied at the top of the next block.
struct Command {
    enum Type : std::uint8_t {
        Add,
        Remove,
        Play,
        Pause,
        Stop,
        Seek,
        Loop,
        EqBand,
        EqRemove,
        KeyLock
    } type = Add;
    Stream* stream = nullptr;
    std::uint32_t number = 0;   // Play: play number; Seek: seek number; EqBand: band slot count; KeyLock: on
    std::int64_t a = 0, b = 0;  // Seek: frame, or with b > 0 a move by a within [0, b); Loop: start and end frames; EqBand: band index in a
    EqBandDesign design;
    EqMode eqMode = EqMode::Peaking;
    audio::KeyLock* keyLock = nullptr;  // KeyLock: the stream's stretcher, made on the UI thread
};

// The real-time mix: every stream it holds, rendered and summed into interleaved float stereo, then
// held within [-1, 1] by the look-ahead limiter (or, with it off, clipped there).
// render() is the audio thread's; post() and takeRetired() are the UI thread's. While no audio
// thread runs, the UI thread may call render()/applyPending() itself.
class Mixer {
  public:
    static constexpr int kMaxStreams = 32;

    Mixer(int outRate, bool limit);
    int outRate() const { return ctx_.outRate; }
    // Frames by which the output lags the streams (the limiter's look-ahead; 0 without it).
    int latency() const { return limit_ ? limiter_.latency() : 0; }
    // Any thread: blocks rendered so far in which the output had to be limited or clipped (wraps).
    std::uint32_t limitedBlocks() const { return limitedBlocks_.load(std::memory_order_relaxed); }
    void setPrebufferSeconds(double s) { prebuffer_.store(s, std::memory_order_relaxed); }
    // Test seam: the observer every output tells when its callback runs. Set it before the output
    // starts (starting it publishes the pointer to the audio thread); null for none.
    void setCallbackObserver(CallbackObserver* o) { observer_.store(o, std::memory_order_relaxed); }
    CallbackObserver* callbackObserver() const { return observer_.load(std::memory_order_relaxed); }

    // UI thread. False when the queue is full (the caller waits or applies it inline).
    bool post(const Command& c) { return commands_.push(c); }
    // UI thread: a stream the audio thread has let go of, to be destroyed; null when none.
    Stream* takeRetired();

    // Audio thread. Never locks, allocates or frees; `out` gets `frames` interleaved stereo frames.
    // With `phones`, that gets the headphone bus of the same frames: every stream at its headphone
    // level, limited (or clipped) like the mix.
    void render(float* out, int frames, float* phones = nullptr);
    // Applies queued commands; the audio thread's job, or the UI thread's while no audio thread runs.
    void applyPending();

    // --- the output tap: every block rendered, as heard, copied into a ring (recording)
    // UI thread: from the next block on the output goes to `ring` as well (null: nowhere).
    void setTap(FrameRing* ring);
    // UI thread: whether the audio thread has let go of every ring set before the last setTap(), so
    // that it may be freed. The audio thread answers at the top of its next block.
    bool tapReleased() const;
    // The audio thread's answer; the UI thread gives it itself while no audio thread runs.
    void acknowledgeTap();

  private:
    void apply(const Command& c);
    void feedTap(const float* out, int frames);
    bool hold(Limiter& limiter, float* io, int frames);

    RenderContext ctx_;
    std::atomic<double> prebuffer_{0.1};
    std::atomic<CallbackObserver*> observer_{nullptr};
    std::array<Stream*, kMaxStreams> streams_{};
    SpscQueue<Command, 1024> commands_;
    SpscQueue<Stream*, 64> retired_;
    Limiter limiter_;
    Limiter phonesLimiter_;
    const bool limit_;
    std::atomic<std::uint32_t> limitedBlocks_{0};
    std::array<float, kMaxBlock> headL_{}, headR_{}, voiceL_{}, voiceR_{};
    std::atomic<FrameRing*> tap_{nullptr};
    std::atomic<std::uint32_t> tapAsked_{0};  // setTap() calls
    std::atomic<std::uint32_t> tapSeen_{0};   // of those, the ones the audio thread has answered
};

}  // namespace vx::audio
