#include "deck/cue_transport.h"

namespace vx {

namespace {
const QString kCantPlay = QStringLiteral("Can't play file. Please choose another file...");
}

CueTransport::CueTransport(DeckContext& ctx, PitchControl& pitch, LoopControl& loop,
                           std::function<void()> restoreBothPitches)
    : ctx_(ctx),
      pitch_(pitch),
      loop_(loop),
      restoreBothPitches_(std::move(restoreBothPitches)),
      stutterTimer_(ctx.ticker.createTimer(ctx.settings.stutteringSpeed, [this] { stutterTick(); })) {}

void CueTransport::lightPlay() {
    ctx_.lcd.play = true;
    ctx_.lcd.stop = false;
    ctx_.lcd.cue = ctx_.state.isCued;
}

// A playing stream jumps; a stopped one is positioned and started. Either way the mixer then sets it.
void CueTransport::seekAndPlay(std::int64_t where) {
    if (ctx_.isPlaying()) {
        ctx_.seek(where);
        ctx_.runVolumeTimer();
        return;
    }
    ctx_.seek(where);
    if (ctx_.playStream())
        ctx_.runVolumeTimer();
    else
        ctx_.throwError(kCantPlay);
}

void CueTransport::resumeFromPause() {
    ctx_.resumeStream();
    ctx_.state.isPaused = false;
    ctx_.lcd.pause = false;
    ctx_.runVolumeTimer();
}

void CueTransport::play_now() {
    DeckState& s = ctx_.state;
    if (s.isPaused) {
        resumeFromPause();
        return;
    }
    pitch_.stopBrake();
    restoreBothPitches_();
    if (!ctx_.hasStream()) return;
    lightPlay();
    seekAndPlay(s.cuePoint);
}

void CueTransport::cueStop() {
    if (!ctx_.hasStream()) return;
    DeckState& s = ctx_.state;
    ctx_.select();
    ctx_.lcd.cue = true;
    ctx_.lcd.play = false;
    ctx_.lcd.stop = false;
    pitch_.stopBrake();
    ctx_.library.stopChannel(s.streamHandle);
    ctx_.seek(s.cuePoint);
    pitch_.changePitch();
    s.isCued = true;
    // A stopped stream cannot be resumed: leaving pause here keeps Play working.
    s.isPaused = false;
    ctx_.lcd.pause = false;
}

void CueTransport::pause() {
    ctx_.select();
    if (!ctx_.isPlaying()) return;
    ctx_.state.isPaused = true;
    ctx_.lcd.pause = true;
    ctx_.library.pause(ctx_.state.streamHandle);
}

void CueTransport::stopPress() {
    if (!ctx_.hasStream()) return;
    pitch_.startBrake();
    ctx_.lcd.stop = true;
    ctx_.lcd.play = false;
}

void CueTransport::run_cue_mousedown() {
    if (!ctx_.hasStream()) return;
    DeckState& s = ctx_.state;
    if (s.isPaused) {
        s.cuePoint = ctx_.position();
        return;
    }
    if (s.cuePoint < 1 || s.prevCuePoint != 0 || s.olderCuePoint != 0) {
        s.olderCuePoint = s.prevCuePoint;
        s.prevCuePoint = s.cuePoint;
    } else {
        s.prevCuePoint = s.cuePoint;
        ctx_.lights.playCueLit = true;
    }
    const std::int64_t here = ctx_.position();
    s.cuePoint = here >= s.songLength ? 1 : here;
}

void CueTransport::run_cue_click() {
    ctx_.lights.loopEnabled = true;
    loop_.clearSavedMode();
}

void CueTransport::editPress(bool forward) {
    DeckState& s = ctx_.state;
    if (!ctx_.hasStream() || !(s.isCued || s.loopActive)) return;
    s.cueForwardHeld = forward;
    s.cueBackHeld = !forward;
    stutterTimer_->setEnabled(true);
    if (!ctx_.isPlaying()) ctx_.playStream();
    ctx_.lcd.cueEditArrow = forward ? EditArrow::Forward : EditArrow::Back;
}

void CueTransport::editRelease(bool forward) {
    (forward ? ctx_.state.cueForwardHeld : ctx_.state.cueBackHeld) = false;
    ctx_.lcd.cueEditArrow = EditArrow::None;
    ctx_.lcd.loopEditArrow = EditArrow::None;
}

void CueTransport::stutterTick() {
    DeckState& s = ctx_.state;
    if (!ctx_.hasStream()) return;
    if (s.isCued) {
        if (s.cueForwardHeld)
            s.cuePoint += kCueStep;
        else if (s.cueBackHeld)
            s.cuePoint -= kCueStep;
        if (s.cueForwardHeld) ctx_.lcd.cueEditArrow = EditArrow::Forward;
        if (s.cueBackHeld) ctx_.lcd.cueEditArrow = EditArrow::Back;
        if (s.cuePoint < 1 || s.cuePoint >= s.songLength) s.cuePoint = 1;
        ctx_.seek(s.cuePoint);
    } else if (s.loopActive) {
        loop_.trimEnd(s.cueForwardHeld, s.cueBackHeld);
    }
}

void CueTransport::endCued() {
    stutterTimer_->setEnabled(false);
    ctx_.state.isCued = false;
}

void CueTransport::playPreviousCue() {
    if (!ctx_.hasStream()) return;
    DeckState& s = ctx_.state;
    ctx_.select();
    if (s.isCued) endCued();
    lightPlay();
    pitch_.stopBrake();
    pitch_.changePitch();
    if (s.isPaused) {
        resumeFromPause();
        return;
    }
    seekAndPlay(s.prevCuePoint);
}

void CueTransport::resetCue() {
    if (!ctx_.hasStream()) return;
    DeckState& s = ctx_.state;
    lightPlay();
    s.prevCuePoint = s.cuePoint;
    s.cuePoint = 0;
    ctx_.select();
    // Playing from the start leaves pause behind.
    s.isPaused = false;
    ctx_.lcd.pause = false;
    seekAndPlay(0);
}

void CueTransport::resetForLoad() {
    endCued();
    pitch_.stopBrake();
    DeckState& s = ctx_.state;
    s.isPaused = false;
    s.cueBackHeld = s.cueForwardHeld = false;
}

}  // namespace vx
