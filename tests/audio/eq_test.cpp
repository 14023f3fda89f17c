// The equaliser heard: each band's gain, the isolator's kills, the top band at the low output rate, and
// that no change of any kind clicks.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/eq_design.h"
#include "audio/offline_engine.h"

using namespace vx;
using namespace vx::test;
using audio::bandResponseDb;
using audio::designBand;

namespace {

struct EqRun {
    OfflineEngine e;
    audio::Handle h = 0;

    EqRun(const std::string& tone, audio::EqMode mode, int rate = 44100, int frequency = 0)
        : e(static_cast<std::uint32_t>(rate)) {
        e.engine.setEqMode(mode);
        h = e.open(tone);
        // Well below the limiter, even with a +15 dB band.
        e.engine.setAttributes(h, frequency ? frequency : audio::kKeepFrequency, 20, audio::kKeepPan);
        on();
    }
    void on() {
        for (int b = 0; b < 3; ++b) e.engine.eqSet(h);
    }
    void band(int b, float gain, float octaves = 2.0f) {
        static constexpr float kCentres[] = {100, 1000, 10000};
        audio::EqBandParams p;
        p.band = b;
        p.bandwidth = octaves;
        p.centre = kCentres[b];
        p.gain = gain;
        e.engine.eqSetParameters(h, p);
    }
    double amplitude(double hz) {
        e.seconds(0.2);
        return goertzelAmplitude(channel(e.seconds(0.3), 0), hz, e.rate());
    }
};

// Gain in dB that the equaliser gives a tone with one band set.
double toneGainDb(const std::string& tone, double hz, audio::EqMode mode, int band, float gain,
                  int rate = 44100, int frequency = 0) {
    EqRun plain(tone, mode, rate, frequency), shaped(tone, mode, rate, frequency);
    shaped.band(band, gain);
    plain.e.engine.play(plain.h);
    shaped.e.engine.play(shaped.h);
    return toDb(shaped.amplitude(hz) / plain.amplitude(hz));
}

// The largest step between neighbouring samples of a tone, relative to the largest step a clean sine of
// the same local amplitude takes: 1 for a clean tone whatever its level, far above 1 at a click.
double worstStepRatio(const std::vector<float>& x, double hz, int rate) {
    const int period = static_cast<int>(rate / hz);
    const double perUnit = 2.0 * std::sin(std::numbers::pi * hz / rate);
    double worst = 0;
    for (std::size_t n = 1; n < x.size(); ++n) {
        const std::size_t from = n > static_cast<std::size_t>(period) ? n - period : 0;
        const std::size_t to = std::min(x.size(), n + period);
        float amp = 0;
        for (std::size_t i = from; i < to; ++i) amp = std::max(amp, std::fabs(x[i]));
        amp = std::max(amp, 0.01f);  // below -40 dBFS a step is no click
        worst = std::max(worst, std::fabs(x[n] - x[n - 1]) / (perUnit * amp));
    }
    return worst;
}

}  // namespace

// Each band at its centre gives its gain in both modes; the isolator's kills remove their whole band and
// leave the others. The centre stays put in what is heard whatever the pitch: the file's 1000 Hz tone
// played 8 % fast is heard at 1080 Hz, and the mid band treats it as a 1080 Hz tone.
TEST(Equaliser, EachBandActsOnItsOwnTones) {
    const auto peaking = audio::EqMode::Peaking, isolator = audio::EqMode::Isolator;
    const double pitched = bandResponseDb(designBand(44100, 1000, 2.0, 9.0), 1080, 44100);
    struct Row {
        audio::EqMode mode;
        const char* tone;
        double hz;
        int band;
        float gain;
        double lowDb, highDb;
        int frequency, rate = 44100;
    };
    const Row rows[] = {
        {peaking, "sine100_44k.wav", 100, 0, 12, 11.5, 12.5, 0},
        {peaking, "sine1k_44k.wav", 1000, 1, -10, -10.5, -9.5, 0},
        {peaking, "sine10k_44k.wav", 10000, 2, 5, 4.5, 5.5, 0},
        {peaking, "sine1k_44k.wav", 1000, 1, -35, -35.5, -34.5, 0},  // a killed band
        {peaking, "sine1k_44k.wav", 1000, 1, 15, 14.5, 15.5, 0},
        {peaking, "sine1k_44k.wav", 1080, 1, 9, pitched - 0.5, pitched + 0.5, 47628},
        {peaking, "sine100_44k.wav", 100, 2, -35, -1, 1, 0},  // far below the top band: flat
        {isolator, "sine100_44k.wav", 100, 0, -35, -200, -60, 0},
        {isolator, "sine1k_44k.wav", 1000, 1, -35, -200, -60, 0},
        {isolator, "sine10k_44k.wav", 10000, 2, -35, -200, -60, 0},
        {isolator, "sine1k_44k.wav", 1000, 0, -35, -0.3, 0.3, 0},
        {isolator, "sine10k_44k.wav", 10000, 1, -35, -0.3, 0.3, 0},
        {isolator, "sine100_44k.wav", 100, 0, 6, 5.5, 6.5, 0},
        {isolator, "sine1k_44k.wav", 1000, 2, 0, -0.1, 0.1, 0},
        // At the low output rate the top band is a shelf: its kill takes the top off, the mids stay.
        {peaking, "sine1k_44k.wav", 1000, 2, -35, -1, 1, 0, 22050},
        {peaking, "sine10k_44k.wav", 10000, 2, -35, -200, -30, 0, 22050},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.tone) + " band " + std::to_string(r.band) + " gain " +
                     std::to_string(r.gain) + " at " + std::to_string(r.rate));
        const double db = toneGainDb(r.tone, r.hz, r.mode, r.band, r.gain, r.rate, r.frequency);
        EXPECT_GE(db, r.lowDb);
        EXPECT_LE(db, r.highDb);
    }
}

// Every change the DJ can make while a low tone plays, in both modes: gains in every direction, kills,
// the width, switching off and on, seeks and loop wraps. None may step further than the tone itself does.
TEST(Equaliser, NoChangeClicks) {
    for (auto mode : {audio::EqMode::Peaking, audio::EqMode::Isolator}) {
        EqRun run("sine50_44k.wav", mode);
        auto& engine = run.e.engine;
        const audio::Handle h = run.h;
        run.band(0, 15);
        engine.play(h);
        Stereo all = run.e.seconds(0.2);
        const auto then = [&](auto change) {
            change();
            const Stereo s = run.e.seconds(0.1);
            all.insert(all.end(), s.begin(), s.end());
        };
        then([&] { run.band(0, 0); });
        then([&] { run.band(0, -15); });
        then([&] { run.band(0, -35); });
        then([&] { run.band(0, 15); });
        then([&] { run.band(0, 15, 0.5f); });
        then([&] { engine.eqRemove(h); });
        then([&] { run.on(), run.band(0, 15); });
        then([&] {
            engine.setEqMode(mode == audio::EqMode::Peaking ? audio::EqMode::Isolator
                                                            : audio::EqMode::Peaking),
                run.band(0, 10);
        });
        then([&] {
            engine.eqReset(h), engine.setPosition(h, engine.position(h) + 441 * 4);
        });  // half a period
        then([&] {
            const std::int64_t from = engine.position(h) / 4 + 300;
            engine.setLoop(h, from * 4, (from + 441 * 5 + 220) * 4);  // wraps out of phase
        });
        then([] {});
        const double worst = worstStepRatio(channel(all, 0), 50, 44100);
        if (worst > 1.5) writeWav(::testing::TempDir() + "eq_clicks.wav", all, 44100);
        EXPECT_LE(worst, 1.5) << (mode == audio::EqMode::Peaking ? "peaking" : "isolator");
    }
}
