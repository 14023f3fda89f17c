#include "audio/voice.h"

#include "audio/key_lock.h"
#include "audio/sinc_kernel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx::audio {

namespace {

constexpr double kNoLimit = std::numeric_limits<double>::infinity();

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
    // 8 ms: long enough that a jump between opposite phases of a deep bass tone steps no further than
    // the tone itself, short enough to feel instant.
    xfStep_ = 1.0f / std::max(1, outRate / 125);
    eq_.prepare(outRate);
    controls_ = controls;
    report_ = report;
}

// The pre-buffer guards against a decoder slower than playback. A decoder that has shown it runs
// at many times real time cannot be overtaken, so a start or a seek needs only a few blocks ahead
// from it; after a stall the whole pre-buffer is asked for.
bool Voice::enoughAhead(const RenderContext& ctx, bool final) const {
    if (final) return true;
    const double ahead = static_cast<double>(available_) - main_.pos;
    if (ahead >= std::max(ctx.prebufferSeconds * fileRate_, aheadNeeded(0, 0))) return true;
    return !starved_ && buffer_->decoderIsFast() && ahead >= std::max(4096.0, aheadNeeded(0, 0));
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
    // Through a sounding stretcher the new place is heard only after what it holds: the head goes that
    // much further, so that from then on the song is where it would be had the jump been heard at once.
    const bool through = stretched_ && stretcherLive_ && playing_ && main_.active;
    jumpTo(static_cast<double>(frame) + (through ? keyLock_->lag() * fileRate_ / outRate_ : 0.0));
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

void Voice::fadeOutMain() {
    if (main_.active) {
        if (!fade_.active || main_.gain >= fade_.gain) fade_ = main_;
        main_.active = false;
    }
    if (fade_.active) fade_.gainStep = -xfStep_;
}

void Voice::jumpTo(double pos) {
    const bool wasActive = main_.active;
    fadeOutMain();
    main_.pos = pos;
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
    jumpTo(static_cast<double>(loopStart_) + (over < 2 * kMaxBlock ? std::fmod(over, span) : 0.0));
}

int Voice::renderHead(Head& h, const RenderContext& ctx, float* dl, float* dr, int k0, int count,
                      double limit) {
    float* l = ctx.headL + k0;
    float* r = ctx.headR + k0;
    double pos = h.pos;
    double step = readStep_ + readInc_ * (k0 + 1);
    // Every frame below `available_` is readable.
    const SincSource src{buffer_->table(), available_, TrackBuffer::kChunkShift};
    int j = 0;
    for (; j < count && pos < limit; ++j) {
        sinc::frameAt(src, pos, step, l + j, r + j);
        pos += step;
        step += readInc_;
    }
    h.pos = pos;
    float g = h.gain;
    float* vl = dl + k0;
    float* vr = dr + k0;
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

// Adds `frames` frames of the main and fading heads to dl/dr: the main head wraps at the loop's end
// and stops at the end of the sound.
void Voice::readHeads(const RenderContext& ctx, float* dl, float* dr, int frames) {
    const bool final = final_;
    const bool loop = loopEnd_ > loopStart_;
    for (int k = 0; k < frames;) {
        double limit = final ? static_cast<double>(available_) : kNoLimit;
        const bool loopLimit = loop && main_.pos < loopEnd_ && loopEnd_ <= limit;
        if (loopLimit) limit = static_cast<double>(loopEnd_);
        const int count = frames - k;
        const int m = main_.active ? renderHead(main_, ctx, dl, dr, k, count, limit) : count;
        if (fade_.active && m > 0) renderHead(fade_, ctx, dl, dr, k, m, kNoLimit);
        k += m;
        if (!main_.active) continue;
        if (loopLimit && main_.pos >= limit) {  // also when the end falls on the block's last frame
            const double span = static_cast<double>(loopEnd_ - loopStart_);
            jumpTo(loopStart_ + std::fmod(main_.pos - loopEnd_, span));
        } else if (m < count) {
            main_.active = false;  // the end of the sound
            playing_ = waiting_ = false;
            report_->endedPlay.store(playNumber_, std::memory_order_release);
        }
    }
}

void Voice::render(const RenderContext& ctx, float* out, int frames) {
    available_ = buffer_->available();
    const bool final = final_ = buffer_->isFinal();
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
    } else if (playing_ && !final && main_.pos + aheadNeeded(std::max(step0_, step1), frames) > available_) {
        fadeOutMain();  // the decoder has fallen behind: stall until it is a pre-buffer ahead again
        waiting_ = starved_ = true;
    }
    report_->stalled.store(playing_ && waiting_, std::memory_order_relaxed);
    wrapIfPastLoopEnd();

    if (main_.active || fade_.active || tail_.active || stretcherLive_) {
        std::fill_n(ctx.voiceL, frames, 0.0f);
        std::fill_n(ctx.voiceR, frames, 0.0f);
        const double speed = step1 * outRate_ / fileRate_;
        if (stretched_) {
            renderStretched(ctx, frames, speed);
            readStep_ = step0_;
            readInc_ = stepInc_;
            if (tail_.active) renderHead(tail_, ctx, ctx.voiceL, ctx.voiceR, 0, frames, kNoLimit);
        } else {
            readStep_ = step0_;
            readInc_ = stepInc_;
            readHeads(ctx, ctx.voiceL, ctx.voiceR, frames);
            if (tail_.active || stretcherLive_) renderStretched(ctx, frames, speed);
        }
        applyTrim(ctx.voiceL, ctx.voiceR, frames);
        eq_.process(ctx.voiceL, ctx.voiceR, frames);
        eqTail_ = outRate_ / 5;
        mixOut(ctx, out, frames);
    } else if (eq_.active() && eqTail_ > 0) {  // the filters ring on for a moment after the sound stops
        std::fill_n(ctx.voiceL, frames, 0.0f);
        std::fill_n(ctx.voiceR, frames, 0.0f);
        eq_.process(ctx.voiceL, ctx.voiceR, frames);
        if ((eqTail_ -= frames) <= 0) eq_.settle();
        mixOut(ctx, out, frames);
    } else {
        channelGains(controls_->volume.load(std::memory_order_relaxed),
                     controls_->pan.load(std::memory_order_relaxed), &gainL_, &gainR_);
        gainL_ *= sampleGain_;
        gainR_ *= sampleGain_;
        phonesGain_ = phonesTarget();
        publishLevel(frames, 0, 0);
    }
    endOfBlock();
    step0_ = step1;
}

// The trim closes on a new value with a time constant of 50 ms (linear inside each block), so that a
// change of several dB while the song plays is a swell, never a step. The first block takes it at once.
void Voice::applyTrim(float* l, float* r, int frames) {
    const float target = controls_->trim.load(std::memory_order_relaxed);
    if (trim_ < 0) trim_ = target;
    const float glide = std::min(1.0f, frames / (0.05f * static_cast<float>(outRate_)));
    float next = trim_ + (target - trim_) * glide;
    if (std::fabs(next - target) < 1e-5f) next = target;
    if (next == 1.0f && trim_ == 1.0f) return;
    const float d = (next - trim_) / frames;
    float g = trim_;
    for (int k = 0; k < frames; ++k) {
        g += d;
        l[k] *= g;
        r[k] *= g;
    }
    trim_ = next;
}

void Voice::mixOut(const RenderContext& ctx, float* out, int frames) {
    float gl1, gr1;
    channelGains(controls_->volume.load(std::memory_order_relaxed),
                 controls_->pan.load(std::memory_order_relaxed), &gl1, &gr1);
    gl1 *= sampleGain_;
    gr1 *= sampleGain_;
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
    if (ctx.phones) mixPhones(ctx, frames);
    publishLevel(frames, playing_ ? peakL : 0, playing_ ? peakR : 0);
}

float Voice::phonesTarget() const {
    return std::clamp(controls_->phones.load(std::memory_order_relaxed), 0, 100) / 100.0f * sampleGain_;
}

// The headphones hear the stream in stereo at their own level, whatever the mix does with it.
void Voice::mixPhones(const RenderContext& ctx, int frames) {
    const float g1 = phonesTarget();
    if (phonesGain_ < 0) phonesGain_ = g1;
    if (g1 == 0 && phonesGain_ == 0) return;
    const float d = (g1 - phonesGain_) / frames;
    float g = phonesGain_;
    for (int k = 0; k < frames; ++k) {
        g += d;
        ctx.phones[2 * k] += ctx.voiceL[k] * g;
        ctx.phones[2 * k + 1] += ctx.voiceR[k] * g;
    }
    phonesGain_ = g1;
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

void Voice::endOfBlock() {
    report_->position.store(static_cast<std::int64_t>(heardPosition()), std::memory_order_release);
}

}  // namespace vx::audio
