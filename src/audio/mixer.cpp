#include "audio/mixer.h"

#include <algorithm>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace vx::audio {

Mixer::Mixer(int outRate, bool limit) : limiter_(outRate), phonesLimiter_(outRate), limit_(limit) {
    ctx_.outRate = outRate;
    ctx_.headL = headL_.data();
    ctx_.headR = headR_.data();
    ctx_.voiceL = voiceL_.data();
    ctx_.voiceR = voiceR_.data();
}

Stream* Mixer::takeRetired() {
    auto s = retired_.pop();
    return s ? *s : nullptr;
}

void Mixer::apply(const Command& c) {
    Stream* s = c.stream;
    Voice& v = s->voice;
    switch (c.type) {
        case Command::Add:
            for (Stream*& slot : streams_) {
                if (!slot) {
                    slot = s;
                    return;
                }
            }
            return;  // the engine never adds more than kMaxStreams
        case Command::Remove:
            std::replace(streams_.begin(), streams_.end(), s, static_cast<Stream*>(nullptr));
            // The retire queue holds more than the stream table, so this cannot fail.
            retired_.push(s);
            return;
        case Command::Play:
            v.play(c.number);
            return;
        case Command::Pause:
            v.pause();
            return;
        case Command::Stop:
            v.stop();
            return;
        case Command::Seek:
            v.seek(c.b > 0 ? std::clamp<std::int64_t>(v.heardFrame() + c.a, 0, c.b - 1) : c.a, c.number);
            return;
        case Command::Loop:
            v.setLoop(c.a, c.b);
            return;
        case Command::EqBand:
            v.setEqBand(static_cast<int>(c.a), c.design, static_cast<int>(c.number), c.eqMode);
            return;
        case Command::EqRemove:
            v.removeEq();
            return;
        case Command::KeyLock:
            v.setKeyLock(c.keyLock, c.number != 0);
            return;
    }
}

void Mixer::applyPending() {
    while (auto c = commands_.pop()) apply(*c);
}

// Limits (or clips) one bus in place; answers whether it had to be held down.
bool Mixer::hold(Limiter& limiter, float* io, int frames) {
    bool held = limit_ && limiter.process(io, frames);
    for (float* x = io; x != io + 2 * frames; ++x) {
        const float clipped = std::clamp(*x, -1.0f, 1.0f);
        held |= clipped != *x;
        *x = clipped;
    }
    return held;
}

void Mixer::render(float* out, int frames, float* phones) {
#if defined(__SSE__)
    // Filter tails decaying into denormals would cost the audio thread dearly: flush them to zero.
    const unsigned csr = _mm_getcsr();
    _mm_setcsr(csr | 0x8040);
#endif
    acknowledgeTap();
    float* const start = out;
    const int total = frames;
    std::fill_n(out, 2 * static_cast<std::size_t>(frames), 0.0f);
    if (phones) std::fill_n(phones, 2 * static_cast<std::size_t>(frames), 0.0f);
    ctx_.prebufferSeconds = prebuffer_.load(std::memory_order_relaxed);
    while (frames > 0) {
        const int n = std::min(frames, kMaxBlock);
        applyPending();
        ctx_.phones = phones;
        for (Stream* s : streams_) {
            if (s) s->voice.render(ctx_, out, n);
        }
        if (hold(limiter_, out, n)) limitedBlocks_.fetch_add(1, std::memory_order_relaxed);
        if (phones) {
            hold(phonesLimiter_, phones, n);
            phones += 2 * n;
        }
        out += 2 * n;
        frames -= n;
    }
    feedTap(start, total);
#if defined(__SSE__)
    _mm_setcsr(csr);
#endif
}

// The tap's hand-over: the UI thread publishes the ring, then counts the request; the audio thread
// answers a request at the top of a block, after its last use of an older ring, and reads the ring
// only at the end of a block. A counted answer therefore means no block still holds an older ring.
void Mixer::setTap(FrameRing* ring) {
    tap_.store(ring, std::memory_order_seq_cst);
    tapAsked_.fetch_add(1, std::memory_order_seq_cst);
}

bool Mixer::tapReleased() const {
    return tapSeen_.load(std::memory_order_acquire) == tapAsked_.load(std::memory_order_acquire);
}

void Mixer::acknowledgeTap() {
    tapSeen_.store(tapAsked_.load(std::memory_order_acquire), std::memory_order_release);
}

void Mixer::feedTap(const float* out, int frames) {
    FrameRing* ring = tap_.load(std::memory_order_acquire);
    if (ring) ring->push(out, static_cast<std::size_t>(frames));
}

}  // namespace vx::audio
