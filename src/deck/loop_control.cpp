#include "deck/loop_control.h"

#include "deck/loop_file.h"

namespace vx {

LoopControl::LoopControl(DeckContext& ctx)
    : ctx_(ctx), timer_(ctx.ticker.createTimer(kLoopIntervalMs, [this] { loopTick(); })) {}

QString LoopControl::loopFilePath() const {
    return loopfile::pathFor(ctx_.settings.loopFolder, ctx_.state.fileName);
}

void LoopControl::showLoopEndTime() {
    const DeckState& s = ctx_.state;
    ctx_.lcd.timeText = ctx_.transport.getTimeRemain(s.streamHandle, s.songLength, s.loopEnd);
}

void LoopControl::switchOff() {
    DeckState& s = ctx_.state;
    s.loopActive = false;
    s.loopEnd = 0;
    timer_->setEnabled(false);
    ctx_.lights.saveLoopEnabled = false;
    ctx_.lcd.loop = false;
    ctx_.lcd.timeText.clear();
    ctx_.lcd.loopEditArrow = EditArrow::None;
    ctx_.applyLoopRegion();
}

void LoopControl::loopCB_Click() {
    if (!ctx_.hasStream()) return;
    DeckState& s = ctx_.state;
    ctx_.select();
    s.savedLoopMode = false;
    s.loopStart = s.cuePoint;
    const std::int64_t here = ctx_.position();
    s.loopEnd = here == 0 ? s.songLength : here;
    if (s.loopStart >= s.loopEnd)
        switchOff();
    else
        loopit();
    ctx_.lights.playLoopEnabled = !s.loopActive;
}

void LoopControl::loopit() {
    DeckState& s = ctx_.state;
    if (s.loopActive) {
        switchOff();
        return;
    }
    s.loopActive = true;
    timer_->setEnabled(true);
    ctx_.lights.saveLoopEnabled = true;
    ctx_.lcd.loop = true;
    showLoopEndTime();
    ctx_.applyLoopRegion();
}

void LoopControl::loopTick() {
    DeckState& s = ctx_.state;
    if (!s.loopActive || !ctx_.hasStream()) return;
    const std::int64_t p = ctx_.position();
    const bool pastEnd = s.loopEnd != 0 && p >= s.loopEnd;
    if (!pastEnd && !(s.savedLoopMode && p == 0)) return;
    ctx_.seek(s.savedLoopMode ? s.savedLoopStart : s.loopStart);
    if (!ctx_.isPlaying()) ctx_.playStream();
}

void LoopControl::saveLoop_Click() {
    DeckState& s = ctx_.state;
    ctx_.select();
    const QString path = loopFilePath();
    // The running loop's own start: a saved loop restarts at savedLoopStart.
    const std::int64_t start = s.savedLoopMode ? s.savedLoopStart : s.loopStart;
    if (s.loopEnd <= start) return;
    const QString question =
        ctx_.side == Side::Right ? QStringLiteral("Save this loop?") : QStringLiteral("Save this Loop?");
    if (ctx_.dialogs.message(question, QString(), Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo) !=
        Dialogs::Answer::Yes)
        return;
    if (const auto error = loopfile::write(path, start, s.loopEnd)) {
        ctx_.dialogs.message(
            QStringLiteral("Error Number: %1 Description: %2").arg(error->number).arg(error->description),
            QStringLiteral("Save Loop"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    ctx_.dialogs.message(QStringLiteral("Loop has been Saved!"), QString(), Dialogs::Icon::None,
                         Dialogs::Buttons::Ok);
}

void LoopControl::playLoop_Click() {
    if (!ctx_.hasStream()) return;
    DeckState& s = ctx_.state;
    ctx_.select();
    const auto result = loopfile::read(loopFilePath(), s.songLength);
    if (result.status == loopfile::ReadStatus::NotFound) {
        if (ctx_.hooks.beep) ctx_.hooks.beep();
        ctx_.dialogs.message(
            QStringLiteral("Saved loop for ") + s.fileName + QStringLiteral(" was not found."),
            QStringLiteral("Open Saved loop"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    if (result.status == loopfile::ReadStatus::Bad) {
        ctx_.dialogs.message(QStringLiteral("Error number: %1 Descriprion: %2")
                                 .arg(result.error.number)
                                 .arg(result.error.description),
                             QString(), Dialogs::Icon::None, Dialogs::Buttons::Ok);
        return;
    }
    s.savedLoopMode = true;
    s.savedLoopStart = result.loop.start;
    s.loopEnd = result.loop.end;
    loopit();
    ctx_.lights.loopEnabled = !s.loopActive;
}

void LoopControl::clearSavedMode() {
    DeckState& s = ctx_.state;
    if (!s.savedLoopMode) return;
    s.savedLoopMode = false;
    // The running loop keeps its stretch: the on-the-fly loop starts where the saved one did.
    if (s.loopActive) s.loopStart = s.savedLoopStart;
    ctx_.applyLoopRegion();
}

void LoopControl::trimEnd(bool forward, bool back) {
    DeckState& s = ctx_.state;
    const std::int64_t start = s.savedLoopMode ? s.savedLoopStart : s.loopStart;
    if (forward && s.loopEnd + kTrimStep < s.songLength) {
        s.loopEnd += kTrimStep;
        ctx_.lcd.loopEditArrow = EditArrow::Forward;
        ctx_.applyLoopRegion();
    } else if (back && s.loopEnd - kTrimStep > start) {
        s.loopEnd -= kTrimStep;
        ctx_.lcd.loopEditArrow = EditArrow::Back;
        ctx_.applyLoopRegion();
    }
    showLoopEndTime();
}

void LoopControl::resetForLoad() {
    DeckState& s = ctx_.state;
    s.loopActive = false;
    s.loopEnd = 0;
    s.savedLoopMode = false;
    timer_->setEnabled(false);
    ctx_.lights.saveLoopEnabled = false;
    ctx_.lights.playLoopEnabled = true;
    ctx_.lights.loopEnabled = true;
}

}  // namespace vx
