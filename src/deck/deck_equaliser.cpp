#include "deck/deck_equaliser.h"

#include <algorithm>

namespace vx {

void DeckEqualiser::init_EQ(int sampleRate) {
    if (!ctx_.hasStream()) return;
    const audio::Handle h = ctx_.state.streamHandle;
    ctx_.library.eqRemove(h);
    for (int band = 0; band < kBands; ++band) ctx_.library.eqSet(h);
    for (int band = 0; band < kBands; ++band) {
        audio::EqBandParams p;
        p.band = band;
        p.sampleRate = static_cast<std::uint32_t>(std::max(sampleRate, 0));
        p.bandwidth = ctx_.settings.eqBandwidth;
        p.centre = kCentres[band];
        p.gain = 0.0f;
        ctx_.library.eqSetParameters(h, p);
    }
}

void DeckEqualiser::setBand(int band, int gainDb) {
    if (!ctx_.hasStream()) return;
    audio::EqBandParams p;
    p.band = band;
    if (!ctx_.library.eqGetParameters(ctx_.state.streamHandle, &p)) return;
    p.band = band;
    p.gain = static_cast<float>(gainDb);
    ctx_.library.eqSetParameters(ctx_.state.streamHandle, p);
}

void DeckEqualiser::applyAllBands() {
    for (int band = 0; band < kBands; ++band) setBand(band, effectiveGain(band));
}

void DeckEqualiser::cmdEQ_Click() {
    const int frequency = ctx_.frequency();
    if (ctx_.state.eqOn) {
        const auto answer =
            ctx_.dialogs.message(QStringLiteral("Switch off EQ?"), QStringLiteral("Graphics Equalizer..."),
                                 Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes) return;
        if (ctx_.hasStream()) ctx_.library.eqRemove(ctx_.state.streamHandle);
        ctx_.state.eqOn = false;
        return;
    }
    init_EQ(frequency);
    ctx_.state.eqOn = true;
    applyAllBands();
}

void DeckEqualiser::kill_Click(int band) {
    if (band < 0 || band >= kBands) return;
    killed_[band] = !killed_[band];
    if (!ctx_.state.eqOn) return;
    if (killed_[band]) {
        if (!ctx_.state.fileName.trimmed().isEmpty()) setBand(band, kKillGainDb);
    } else {
        setBand(band, gains_[band]);
    }
}

void DeckEqualiser::setBandGain(int band, int gainDb) {
    if (band < 0 || band >= kBands) return;
    gains_[band] = std::clamp(gainDb, -15, 15);
    if (ctx_.state.eqOn && !killed_[band]) setBand(band, gains_[band]);
}

void DeckEqualiser::rebuildForLoad() {
    if (ctx_.state.eqOn) {
        init_EQ(ctx_.frequency());
        applyAllBands();
    } else if (ctx_.hasStream()) {
        ctx_.library.eqRemove(ctx_.state.streamHandle);
    }
}

void DeckEqualiser::adjust_EQBandwidth() {
    if (!ctx_.state.eqOn) return;
    init_EQ(ctx_.frequency());
    applyAllBands();
}

void DeckEqualiser::updateSampleRate(int frequency) {
    if (!ctx_.hasStream()) return;
    audio::EqBandParams p;
    p.band = 0;
    if (!ctx_.library.eqGetParameters(ctx_.state.streamHandle, &p)) return;
    p.band = 0;
    p.sampleRate = static_cast<std::uint32_t>(std::max(frequency, 0));
    ctx_.library.eqSetParameters(ctx_.state.streamHandle, p);
}

}  // namespace vx
