// The equaliser effect of the engine. Coefficients are designed here, on the UI thread, and handed to
// the audio thread through the command queue; the voice glides to them.
//
// Which sample rate the filters are designed for: the bands run on the mixed-down signal at the
// output rate, after the resampler, so they are designed for the output rate and the centre lands
// at its frequency in what is heard, whatever the pitch. The block's sample-rate field (the stream's
// playback frequency) is kept and read back as given, but does not move the bands.
#include "audio/engine.h"
#include "audio/mixer.h"

namespace vx::audio {

namespace {

Command eqCommand(Stream* s, int band, const EqBandDesign& d, EqMode mode) {
    Command c;
    c.type = Command::EqBand;
    c.stream = s;
    c.number = static_cast<std::uint32_t>(s->eq.size());
    c.a = band;
    c.design = d;
    c.eqMode = mode;
    return c;
}

}  // namespace

bool Engine::eqSet(Handle h) {
    Stream* s = find(h);
    if (!s) return false;
    if (s->eq.size() >= static_cast<std::size_t>(kMaxEqBands)) return fail(kErrIllegalParam);
    static constexpr float kCentres[kMaxEqBands] = {100.0f, 1000.0f, 10000.0f, 5000.0f};
    EqBandParams p;
    p.band = static_cast<std::int32_t>(s->eq.size());
    p.sampleRate = static_cast<std::uint32_t>(s->controls.frequency.load());
    p.centre = kCentres[s->eq.size()];
    s->eq.push_back(p);
    send(eqCommand(s, p.band, EqBandDesign{}, eqMode_));
    return true;
}

bool Engine::eqRemove(Handle h) {
    Stream* s = find(h);
    if (!s) return false;
    s->eq.clear();
    Command c;
    c.type = Command::EqRemove;
    c.stream = s;
    send(c);
    return true;
}

bool Engine::eqSetParameters(Handle h, const EqBandParams& params) {
    Stream* s = find(h);
    if (!s) return false;
    if (params.band < 0 || params.band >= static_cast<int>(s->eq.size())) return fail(kErrIllegalParam);
    s->eq[static_cast<std::size_t>(params.band)] = params;
    const EqBandDesign d = designBand(mixer_->outRate(), params.centre, params.bandwidth, params.gain);
    send(eqCommand(s, params.band, d, eqMode_));
    return true;
}

bool Engine::eqGetParameters(Handle h, EqBandParams* params) {
    Stream* s = find(h);
    if (!s) return false;
    if (!params || params->band < 0 || params->band >= static_cast<int>(s->eq.size())) {
        return fail(kErrIllegalParam);
    }
    *params = s->eq[static_cast<std::size_t>(params->band)];
    return true;
}

bool Engine::eqReset(Handle h) {
    return find(h) != nullptr;
}

bool Engine::eqFree() {
    return ok();
}

}  // namespace vx::audio
