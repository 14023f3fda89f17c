#include "deck/deck_display.h"

#include <algorithm>
#include <cmath>

#include "deck/pitch_maths.h"

namespace vx {

void DeckDisplay::followLength() {
    DeckState& s = ctx_.state;
    if (s.lengthFinal) return;
    s.lengthFinal = ctx_.library.lengthIsFinal(s.streamHandle);
    const std::int64_t length = ctx_.transport.songLengthBytes(s.streamHandle);
    if (length >= 0) s.songLength = length;
}

void DeckDisplay::setProgressByUser(int value) {
    ctx_.lcd.progress = std::clamp(value, 0, 100);
}

void DeckDisplay::setPositionByUser(double fraction) {
    chosenFraction_ = std::clamp(fraction, 0.0, 1.0);
    ctx_.lcd.progress = static_cast<int>(std::lround(chosenFraction_ * 100.0));
}

void DeckDisplay::tick() {
    if (!ctx_.hasStream()) return;
    followLength();
    DeckState& s = ctx_.state;
    const audio::Handle h = s.streamHandle;
    const int p = ctx_.lcd.progress;
    QString text;
    if (chosenFraction_ >= 0) {
        ctx_.seek(static_cast<std::int64_t>(chosenFraction_ * static_cast<double>(s.songLength)));
        chosenFraction_ = -1;
        text = ctx_.transport.getTimeRemain(h, s.songLength, ctx_.position());
    } else if (p == s.lastProgress) {
        if (s.songLength > 0) {
            ctx_.lcd.progress = deckmath::progressOf(ctx_.position(), s.songLength);
            text = ctx_.transport.getTimeRemain(h, s.songLength, ctx_.position());
        } else {
            ctx_.lcd.progress = 0;
            text = ctx_.transport.songLengthText(h, s.songLength);
        }
    } else {
        ctx_.seek(deckmath::positionOfProgress(p, s.songLength));
        text = ctx_.transport.getTimeRemain(h, s.songLength, ctx_.position());
    }
    ctx_.lcd.lengthText = text;
}

int DeckDisplay::meterTick(const MeterMix& mix) {
    if (!ctx_.hasStream()) return -1;
    const std::uint32_t level = ctx_.library.level(ctx_.state.streamHandle);
    if (level == 0) {
        // A quiet passage keeps the bars where they were, but a deck that has stopped, ended or paused
        // sends nothing: its bars fall to zero rather than show sound that is not there.
        const int activity = ctx_.library.activity(ctx_.state.streamHandle);
        if (activity == audio::kPlaying || activity == audio::kStalled) return -1;
        meter_ = {};
        return 0;
    }
    const double left = level & 0xFFFFu;
    const double right = level >> 16;
    const double m = std::max(mix.sliderMax, 1);
    const double f = (ctx_.side == Side::Left ? mix.leftLevel : mix.rightLevel) / m;
    meter_.a = static_cast<int>(deckmath::roundHalfEven(f * right));
    meter_.b = static_cast<int>(deckmath::roundHalfEven(f * left));
    const double g = mix.mainVolume / m;
    const double c =
        std::min(1.0, ctx_.side == Side::Left ? 2.0 * (m - mix.crossfader) / m : 2.0 * mix.crossfader / m);
    return static_cast<int>(deckmath::roundHalfEven(g * (left + right) / 2.0 * c));
}

}  // namespace vx
