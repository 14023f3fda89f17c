// The key-locked way of playing a voice: its heads read the source at the file's own rate into the
// stretcher, which plays that at the stream's speed.
#include <algorithm>
#include <cmath>
#include <limits>

#include "audio/key_lock.h"
#include "audio/sinc_kernel.h"
#include "audio/voice.h"

namespace vx::audio {

namespace {
constexpr double kNoLimit = std::numeric_limits<double>::infinity();
}  // namespace

// Switching keeps the frame heard: going on, the stretcher restarts at the main head (its pad read
// from the sound just before) and fades in as the plain heads fade out; going off, the plain head
// starts where the stretcher's output is and fades in as that fades out, still fed meanwhile.
void Voice::setKeyLock(KeyLock* lock, bool on) {
    if (lock) keyLock_ = lock;
    if (!keyLock_ || on == stretched_) return;
    const bool sounding = main_.active || fade_.active;
    Head& louder = main_.active && (!fade_.active || main_.gain >= fade_.gain) ? main_ : fade_;
    if (on) {
        stretchGain_ = 1;
        stretchGainStep_ = 0;
        if (sounding) {
            tail_ = louder;
            tail_.gainStep = -xfStep_;
            stretchGain_ = 0;
            stretchGainStep_ = xfStep_;
        }
        fade_.active = false;
        stretcherLive_ = false;  // restarted, aligned with the main head
        tail_.active = sounding;
    } else if (stretcherLive_ && sounding) {
        const double heard = heardPosition();
        tail_ = louder;
        fade_.active = false;
        main_.pos = heard;
        main_.gain = 0;
        main_.gainStep = xfStep_;
        stretchGainStep_ = -xfStep_;
    }
    stretched_ = on;
}

bool Voice::stretcherFed() const {
    return stretched_ ? main_.active || fade_.active : tail_.active;
}

// The frame heard now: behind the main head by what the stretcher holds, inside the loop if one runs.
double Voice::heardPosition() const {
    if (!stretched_ || !stretcherLive_ || !main_.active) return main_.pos;
    double pos = main_.pos - keyLock_->lag() * fileRate_ / outRate_;
    const double start = static_cast<double>(loopStart_), end = static_cast<double>(loopEnd_);
    if (end > start && main_.pos >= start && main_.pos <= end && pos < start) pos += end - start;
    return std::max(0.0, pos);
}

// Source frames the main head must have ahead of it for one block at read speed `step`.
double Voice::aheadNeeded(double step, int frames) const {
    if (stretched_ && keyLock_) {
        const double unit = static_cast<double>(fileRate_) / outRate_;
        return keyLock_->reach() * unit + sinc::reach(unit);
    }
    return step * frames + sinc::reach(step);
}

void Voice::primeStretcher(const RenderContext& ctx, double speed) {
    KeyLock& kl = *keyLock_;
    kl.restart(speed);
    stretcherLive_ = true;
    drainLeft_ = -1;
    discard_ = kl.discardFrames();
    // The pad is the sound that leads to the main head (silence where there is none).
    const int pad = kl.padFrames();
    const double back = pad * readStep_;
    Head lead = main_;
    lead.pos -= back;
    lead.gainStep = 0;
    const bool real = main_.active && lead.pos >= 0 && lead.gain > 0;
    for (int done = 0; done < pad;) {
        const int n = std::min(kMaxBlock, pad - done);
        std::fill_n(kl.inLeft(), n, 0.0f);
        std::fill_n(kl.inRight(), n, 0.0f);
        if (real) renderHead(lead, ctx, kl.inLeft(), kl.inRight(), 0, n, kNoLimit);
        kl.feed(kl.inLeft(), kl.inRight(), n);
        done += n;
    }
}

// Adds `frames` stretched frames to the voice, fed from the heads that feed the stretcher (or, once
// none does, silence until what it holds has sounded out).
void Voice::renderStretched(const RenderContext& ctx, int frames, double speed) {
    KeyLock& kl = *keyLock_;
    readStep_ = static_cast<double>(fileRate_) / outRate_;
    readInc_ = 0;
    if (!stretcherLive_) {
        if (!stretcherFed()) return;
        primeStretcher(ctx, speed);
    }
    kl.setSpeed(speed);
    float* il = kl.inLeft();
    float* ir = kl.inRight();
    for (int guard = 0; kl.available() < frames + discard_ && guard < 64; ++guard) {
        const int n = kl.required();
        std::fill_n(il, n, 0.0f);
        std::fill_n(ir, n, 0.0f);
        if (!stretcherFed()) {
            if (drainLeft_ < 0) drainLeft_ = kl.lag() + kl.padFrames();
            drainLeft_ -= n;
        } else if (stretched_) {
            drainLeft_ = -1;
            readHeads(ctx, il, ir, n);
        } else {
            renderHead(tail_, ctx, il, ir, 0, n, kNoLimit);
        }
        kl.feed(il, ir, n);
    }
    while (discard_ > 0) {
        const int got = kl.take(ctx.headL, ctx.headR, std::min(discard_, kMaxBlock), false);
        if (got == 0) break;
        discard_ -= got;
    }
    const int got = kl.take(ctx.headL, ctx.headR, frames);
    float g = stretchGain_;
    for (int k = 0; k < got; ++k) {
        g = std::clamp(g + stretchGainStep_, 0.0f, 1.0f);
        ctx.voiceL[k] += ctx.headL[k] * g;
        ctx.voiceR[k] += ctx.headR[k] * g;
    }
    stretchGain_ = g;
    if (stretchGainStep_ > 0 && g >= 1.0f) stretchGainStep_ = 0;
    const bool faded = stretchGainStep_ < 0 && g <= 0.0f;
    if (faded || (!stretcherFed() && drainLeft_ >= 0 && drainLeft_ <= 0)) {
        stretcherLive_ = false;
        drainLeft_ = -1;
        if (faded) {
            tail_.active = false;
            stretchGain_ = 1;
            stretchGainStep_ = 0;
        }
    }
}

}  // namespace vx::audio
