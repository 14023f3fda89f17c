#include "audio/voice.h"

#include "audio/sinc_kernel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx::audio {

namespace {

// Left and right travel together through the filters, two lanes of one vector register.
typedef float Pair __attribute__((vector_size(8)));

// N cascaded peaking bands on both channels in one pass, the filter state held in registers for the
// whole segment (z is [band][channel][state] in memory).
template <int N>
void runEq(float (*z)[2][2], const Biquad* now, const Biquad* target, bool ramp, float frac, float fracStep,
           float* l, float* r, int count) {
    Pair s1[N], s2[N];
    for (int b = 0; b < N; ++b) {
        s1[b] = Pair{z[b][0][0], z[b][1][0]};
        s2[b] = Pair{z[b][0][1], z[b][1][1]};
    }
    if (!ramp) {
        for (int s = 0; s < count; ++s) {
            Pair x = {l[s], r[s]};
            for (int b = 0; b < N; ++b) {
                const Biquad& q = now[b];
                const Pair y = q.b0 * x + s1[b];
                s1[b] = q.b1 * x - q.a1 * y + s2[b];
                s2[b] = q.b2 * x - q.a2 * y;
                x = y;
            }
            l[s] = x[0];
            r[s] = x[1];
        }
    } else {
        for (int s = 0; s < count; ++s, frac += fracStep) {
            Pair x = {l[s], r[s]};
            for (int b = 0; b < N; ++b) {
                const Biquad& p = now[b];
                const Biquad& t = target[b];
                const float b0 = p.b0 + (t.b0 - p.b0) * frac, b1 = p.b1 + (t.b1 - p.b1) * frac;
                const float b2 = p.b2 + (t.b2 - p.b2) * frac, a1 = p.a1 + (t.a1 - p.a1) * frac;
                const float a2 = p.a2 + (t.a2 - p.a2) * frac;
                const Pair y = b0 * x + s1[b];
                s1[b] = b1 * x - a1 * y + s2[b];
                s2[b] = b2 * x - a2 * y;
                x = y;
            }
            l[s] = x[0];
            r[s] = x[1];
        }
    }
    for (int b = 0; b < N; ++b) {
        z[b][0][0] = s1[b][0];
        z[b][1][0] = s1[b][1];
        z[b][0][1] = s2[b][0];
        z[b][1][1] = s2[b][1];
    }
}

void channelGains(int volume, int pan, float* gl, float* gr) {
    const float v = std::clamp(volume, 0, 100) / 100.0f;
    const int p = std::clamp(pan, -100, 100);
    *gl = v * (p > 0 ? (100 - p) / 100.0f : 1.0f);
    *gr = v * (p < 0 ? (100 + p) / 100.0f : 1.0f);
}

}  // namespace

void Voice::bind(const TrackBuffer* buffer, int fileRate, int outRate, VoiceControls* controls,
                 VoiceReport* report) {
    buffer_ = buffer;
    fileRate_ = fileRate;
    outRate_ = outRate;
    xfStep_ = 1.0f / std::max(1, outRate / 200);
    controls_ = controls;
    report_ = report;
}

// The pre-buffer guards against a decoder slower than playback. A decoder that has shown it runs
// at many times real time cannot be overtaken, so a start or a seek needs only a few blocks ahead
// from it; after a stall the whole pre-buffer is asked for.
bool Voice::enoughAhead(const RenderContext& ctx, bool final) const {
    if (final) return true;
    const double ahead = static_cast<double>(available_) - main_.pos;
    if (ahead >= ctx.prebufferSeconds * fileRate_) return true;
    return !starved_ && buffer_->decoderIsFast() && ahead >= 4096;
}

void Voice::play(std::uint32_t playNumber) {
    playNumber_ = playNumber;
    starved_ = false;
    if (!playing_) {
        playing_ = true;
        waiting_ = true;
    }
}

void Voice::pause() {
    fadeOutMain();
    playing_ = waiting_ = false;
}

void Voice::stop() {
    pause();
}

void Voice::seek(std::int64_t frame, std::uint32_t seekNumber) {
    jumpTo(static_cast<double>(frame), freshEqPending_);
    freshEqPending_ = false;
    starved_ = false;
    if (playing_) {
        // Restart through the pre-buffer check; the old head fades out meanwhile.
        main_.active = false;
        waiting_ = true;
    }
    report_->position.store(frame, std::memory_order_relaxed);
    report_->appliedSeek.store(seekNumber, std::memory_order_release);
}

void Voice::setLoop(std::int64_t startFrame, std::int64_t endFrame) {
    if (endFrame <= startFrame || startFrame < 0) startFrame = endFrame = 0;
    loopStart_ = startFrame;
    loopEnd_ = endFrame;
}

void Voice::setEqBand(int band, const Biquad& q, int bandCount) {
    bandCount = std::clamp(bandCount, 0, kMaxEqBands);
    if (eqDrainFrames_ > 0) eqDrainFrames_ = 0;  // a new equaliser replaces the one fading away
    for (int b = eqBands_; b < bandCount; ++b) {
        eqNow_[b] = eqTarget_[b] = Biquad{};
        for (Head* h : {&main_, &fade_}) std::fill(&h->z[b][0][0], &h->z[b][0][0] + 4, 0.0f);
    }
    eqBands_ = std::max(eqBands_, bandCount);
    if (band >= 0 && band < eqBands_) eqTarget_[band] = q;
    eqRamp_ = true;
}

void Voice::removeEq() {
    if (eqBands_ == 0) return;
    eqTarget_.fill(Biquad{});
    eqRamp_ = true;
    eqDrainFrames_ = outRate_ / 10;  // the filters run on at unity until their tails have died away
}

void Voice::fadeOutMain() {
    if (main_.active) {
        if (!fade_.active || main_.gain >= fade_.gain) fade_ = main_;
        main_.active = false;
    }
    if (fade_.active) fade_.gainStep = -xfStep_;
}

void Voice::jumpTo(double pos, bool freshEq) {
    const bool wasActive = main_.active;
    fadeOutMain();
    main_.pos = pos;
    if (freshEq) std::fill(&main_.z[0][0][0], &main_.z[0][0][0] + sizeof(main_.z) / sizeof(float), 0.0f);
    main_.gain = 0;
    main_.gainStep = xfStep_;
    main_.active = wasActive;
}

// A loop whose end is already behind the play head (looped on the fly at the head's own position, its
// end trimmed back past the head, or a saved loop chosen further on in the song) wraps now instead of
// waiting for the UI's loop timer. Just past the end the head keeps its phase in the loop, as the wrap
// inside a block does; far past it the loop starts from its beginning.
void Voice::wrapIfPastLoopEnd() {
    if (!main_.active || loopEnd_ <= loopStart_ || main_.pos < static_cast<double>(loopEnd_)) return;
    const double over = main_.pos - static_cast<double>(loopEnd_);
    const double span = static_cast<double>(loopEnd_ - loopStart_);
    jumpTo(static_cast<double>(loopStart_) + (over < 2 * kMaxBlock ? std::fmod(over, span) : 0.0), false);
}

void Voice::finishCommands() {
    if (!freshEqPending_) return;
    freshEqPending_ = false;
    if (main_.active) {
        jumpTo(main_.pos, true);  // fresh filters on a new head, crossfaded: no click
    } else {
        std::fill(&main_.z[0][0][0], &main_.z[0][0][0] + sizeof(main_.z) / sizeof(float), 0.0f);
    }
}

int Voice::renderHead(Head& h, const RenderContext& ctx, int k0, int count, double limit) {
    float* l = ctx.headL + k0;
    float* r = ctx.headR + k0;
    double pos = h.pos;
    double step = step0_ + stepInc_ * (k0 + 1);
    // Every frame below `available_` is readable.
    const SincSource src{buffer_->table(), available_, TrackBuffer::kChunkShift};
    int j = 0;
    for (; j < count && pos < limit; ++j) {
        sinc::frameAt(src, pos, step, l + j, r + j);
        pos += step;
        step += stepInc_;
    }
    h.pos = pos;
    applyEq(h, l, r, k0, j);
    float g = h.gain;
    float* vl = ctx.voiceL + k0;
    float* vr = ctx.voiceR + k0;
    if (h.gainStep == 0) {
        for (int s = 0; s < j; ++s) {
            vl[s] += l[s] * g;
            vr[s] += r[s] * g;
        }
    } else {
        for (int s = 0; s < j; ++s) {
            g = std::clamp(g + h.gainStep, 0.0f, 1.0f);
            vl[s] += l[s] * g;
            vr[s] += r[s] * g;
        }
        if (h.gainStep > 0 && g >= 1.0f) h.gainStep = 0;
        if (h.gainStep < 0 && g <= 0.0f) h.active = false;
    }
    h.gain = g;
    return j;
}

void Voice::applyEq(Head& h, float* l, float* r, int k0, int count) {
    if (eqBands_ == 0 || count == 0) return;
    const float fracStep = 1.0f / static_cast<float>(blockFrames_);
    const float frac = (k0 + 1) * fracStep;
    switch (eqBands_) {
        case 1:
            runEq<1>(h.z, eqNow_.data(), eqTarget_.data(), eqRamp_, frac, fracStep, l, r, count);
            break;
        case 2:
            runEq<2>(h.z, eqNow_.data(), eqTarget_.data(), eqRamp_, frac, fracStep, l, r, count);
            break;
        case 3:
            runEq<3>(h.z, eqNow_.data(), eqTarget_.data(), eqRamp_, frac, fracStep, l, r, count);
            break;
        default:
            runEq<4>(h.z, eqNow_.data(), eqTarget_.data(), eqRamp_, frac, fracStep, l, r, count);
            break;
    }
}

void Voice::render(const RenderContext& ctx, float* out, int frames) {
    finishCommands();
    blockFrames_ = frames;
    available_ = buffer_->available();
    const bool final = buffer_->isFinal();
    // A head fading out after a pause or a stop keeps the speed it played at: a frequency set meanwhile
    // (the brake's end restoring the pitch) is for the next start, not for the last milliseconds heard.
    const double target =
        controls_->frequency.load(std::memory_order_relaxed) / static_cast<double>(outRate_);
    const double step1 = playing_ || step0_ < 0 ? target : step0_;
    if (step0_ < 0) step0_ = step1;
    stepInc_ = (step1 - step0_) / frames;

    if (playing_ && waiting_) {
        if (enoughAhead(ctx, final)) {
            waiting_ = false;
            main_.active = true;
            main_.gain = 0;
            main_.gainStep = xfStep_;
            if (!fade_.active) {  // a start from silence needs no glide
                step0_ = step1;
                stepInc_ = 0;
            }
        }
    } else if (const double fastest = std::max(step0_, step1);
               playing_ && !final && main_.pos + fastest * frames + sinc::reach(fastest) > available_) {
        fadeOutMain();  // the decoder has fallen behind: stall until it is a pre-buffer ahead again
        waiting_ = starved_ = true;
    }
    report_->stalled.store(playing_ && waiting_, std::memory_order_relaxed);
    wrapIfPastLoopEnd();

    if (main_.active || fade_.active) {
        std::fill_n(ctx.voiceL, frames, 0.0f);
        std::fill_n(ctx.voiceR, frames, 0.0f);
        constexpr double kNever = std::numeric_limits<double>::infinity();
        const bool loop = loopEnd_ > loopStart_;
        for (int k = 0; k < frames;) {
            double limit = final ? static_cast<double>(available_) : kNever;
            const bool loopLimit = loop && main_.pos < loopEnd_ && loopEnd_ <= limit;
            if (loopLimit) limit = static_cast<double>(loopEnd_);
            const int count = frames - k;
            const int m = main_.active ? renderHead(main_, ctx, k, count, limit) : count;
            if (fade_.active && m > 0) renderHead(fade_, ctx, k, m, kNever);
            k += m;
            if (!main_.active) continue;
            if (loopLimit && main_.pos >= limit) {  // also when the end falls on the block's last frame
                const double span = static_cast<double>(loopEnd_ - loopStart_);
                jumpTo(loopStart_ + std::fmod(main_.pos - loopEnd_, span), false);
            } else if (m < count) {
                main_.active = false;  // the end of the sound
                playing_ = waiting_ = false;
                report_->endedPlay.store(playNumber_, std::memory_order_release);
            }
        }
        mixOut(ctx, out, frames);
    } else {
        channelGains(controls_->volume.load(std::memory_order_relaxed),
                     controls_->pan.load(std::memory_order_relaxed), &gainL_, &gainR_);
        publishLevel(frames, 0, 0);
    }
    endOfBlock(frames);
    step0_ = step1;
}

void Voice::mixOut(const RenderContext& ctx, float* out, int frames) {
    float gl1, gr1;
    channelGains(controls_->volume.load(std::memory_order_relaxed),
                 controls_->pan.load(std::memory_order_relaxed), &gl1, &gr1);
    if (gainL_ < 0) gainL_ = gl1, gainR_ = gr1;
    const float dl = (gl1 - gainL_) / frames, dr = (gr1 - gainR_) / frames;
    float gl = gainL_, gr = gainR_, peakL = 0, peakR = 0;
    for (int k = 0; k < frames; ++k) {
        gl += dl;
        gr += dr;
        const float l = ctx.voiceL[k] * gl;
        const float r = ctx.voiceR[k] * gr;
        out[2 * k] += l;
        out[2 * k + 1] += r;
        peakL = std::max(peakL, std::fabs(l));
        peakR = std::max(peakR, std::fabs(r));
    }
    gainL_ = gl1;
    gainR_ = gr1;
    publishLevel(frames, playing_ ? peakL : 0, playing_ ? peakR : 0);
}

void Voice::publishLevel(int frames, float peakL, float peakR) {
    curPeakL_ = std::max(curPeakL_, peakL);
    curPeakR_ = std::max(curPeakR_, peakR);
    segFill_ += frames;
    float l = curPeakL_, r = curPeakR_;
    for (int i = 0; i < 4; ++i) {
        l = std::max(l, segPeak_[i]);
        r = std::max(r, segPeak_[4 + i]);
    }
    if (segFill_ >= outRate_ / 100) {  // 10 ms segments; the last four and the current one make ~40 ms
        segIndex_ = (segIndex_ + 1) & 3;
        segPeak_[segIndex_] = curPeakL_;
        segPeak_[4 + segIndex_] = curPeakR_;
        curPeakL_ = curPeakR_ = 0;
        segFill_ = 0;
    }
    if (!playing_) l = r = 0;
    const auto pack = [](float v) { return static_cast<std::uint32_t>(std::min(v, 1.0f) * 32768.0f + 0.5f); };
    report_->level.store(pack(l) | (pack(r) << 16), std::memory_order_relaxed);
}

void Voice::endOfBlock(int frames) {
    if (eqRamp_) {
        eqNow_ = eqTarget_;
        eqRamp_ = false;
    }
    if (eqDrainFrames_ > 0 && (eqDrainFrames_ -= frames) <= 0) {
        eqDrainFrames_ = 0;
        eqBands_ = 0;
        for (Head* h : {&main_, &fade_})
            std::fill(&h->z[0][0][0], &h->z[0][0][0] + sizeof(h->z) / sizeof(float), 0.0f);
    }
    report_->position.store(static_cast<std::int64_t>(main_.pos), std::memory_order_release);
}

}  // namespace vx::audio
