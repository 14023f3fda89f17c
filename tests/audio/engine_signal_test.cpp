// What the mix sounds like: pitch at every rate, volume and pan, levels and the equaliser's neutral
// states, measured on offline renders of generated tones.

#include <cmath>

#include "audio/offline_engine.h"

using namespace vx;
using namespace vx::test;

namespace {

// Plays `name` from the start at `frequency` (0: the file's own) and renders `secs` seconds,
// discarding the first 0.1 s (fade-in and filter settling).
Stereo playTone(OfflineEngine& e, const std::string& name, int frequency, double secs) {
    const audio::Handle h = e.open(name);
    EXPECT_NE(h, 0u) << name;
    if (frequency) e.engine.setAttributes(h, frequency, audio::kKeepVolume, audio::kKeepPan);
    e.engine.play(h);
    e.seconds(0.1);
    return e.seconds(secs);
}

}  // namespace

namespace {

enum class Measure { Sinad, Flatness, Rejection };

struct ResamplingCase {
    const char* what;
    const char* file;  // a tone at -2 dBFS (0.8), rounded once to 16 bits: about 96 dB SINAD itself
    int fileRate, outRate;
    int frequency;  // 0: the file's own rate
    double toneHz;  // in the file
    Measure measure;
    double bound;  // dB: the least SINAD, the largest gain error, or the highest level left
};

}  // namespace

// Every ratio in normal use, through the band-limited kernel: pitch moves, other file rates, the
// 22050 Hz output and the brake's slow tail; playing slowly must not bring the images of the source's
// top band down into the kept band. A SINAD of 90 dB also means no spur above -90 dB, and
// since the tone must lie within 0.1 % of its pitch, the pitch is checked too.
TEST(Resampling, TonesStayCleanAtEveryRatio) {
    static const ResamplingCase kCases[] = {
        {"10 kHz at x0.9", "tone10k_44k.wav", 44100, 44100, 39690, 10000, Measure::Sinad, 85},
        {"10 kHz at x1.08", "tone10k_44k.wav", 44100, 44100, 47628, 10000, Measure::Sinad, 85},
        {"10 kHz at x1.2", "tone10k_44k.wav", 44100, 44100, 52920, 10000, Measure::Sinad, 85},
        {"10 kHz of a 48 kHz file", "tone10k_48k.wav", 48000, 44100, 0, 10000, Measure::Sinad, 85},
        {"10 kHz in the brake's tail, x0.1", "tone10k_44k.wav", 44100, 44100, 4410, 10000, Measure::Sinad, 85},
        {"20 kHz at x0.7: no image at 16.9 kHz", "tone20k_44k.wav", 44100, 44100, 30870, 20000, Measure::Sinad, 85},
        {"1 kHz at x0.9", "tone1k_44k.wav", 44100, 44100, 39690, 1000, Measure::Sinad, 90},
        {"1 kHz at x1.08", "tone1k_44k.wav", 44100, 44100, 47628, 1000, Measure::Sinad, 90},
        {"1 kHz at x0.5: an octave down", "tone1k_44k.wav", 44100, 44100, 22050, 1000, Measure::Sinad, 90},
        {"1 kHz at 22050 Hz output", "tone1k_44k.wav", 44100, 22050, 0, 1000, Measure::Sinad, 90},
        {"15 kHz at x1.2: no spur", "tone15k_44k.wav", 44100, 44100, 52920, 15000, Measure::Sinad, 90},
        {"18 kHz at x0.99", "tone18k_44k.wav", 44100, 44100, 43659, 18000, Measure::Flatness, 0.1},
        {"18 kHz of a 48 kHz file", "tone18k_48k.wav", 48000, 44100, 0, 18000, Measure::Flatness, 0.1},
        {"15 kHz at 22050 Hz output", "tone15k_44k.wav", 44100, 22050, 0, 15000, Measure::Rejection, -80},
    };
    for (const ResamplingCase& c : kCases) {
        OfflineEngine e(c.outRate);
        const Stereo out = playTone(e, c.file, c.frequency, 0.5);
        const std::vector<float> left = channel(out, 0);
        const double heard = c.toneHz * (c.frequency ? c.frequency : c.fileRate) / c.fileRate;
        const double levelDb = toDb(rms(left) * std::sqrt(2.0) / 0.8);
        const double value = c.measure == Measure::Sinad      ? sinadDb(left, heard, c.outRate)
                             : c.measure == Measure::Flatness ? std::fabs(levelDb)
                                                              : levelDb;
        const bool ok = c.measure == Measure::Sinad ? value >= c.bound : value <= c.bound;
        EXPECT_TRUE(ok) << c.what << ": " << value << " against " << c.bound;
        if (!ok) writeWav(::testing::TempDir() + "resampling_" + std::to_string(&c - kCases) + ".wav", out, c.outRate);
    }
}

// At exactly the file's own rate every frame is the file's own (a kernel that band-limits would
// soften the top octave's last kilohertz even there).
TEST(Resampling, OwnRateIsABitExactCopy) {
    const std::vector<std::int16_t> source = readWavSamples(fixture("noise_44k.wav"));
    OfflineEngine e;
    const Stereo out = playTone(e, "noise_44k.wav", 0, 0.5);
    // The 0.1 s playTone skipped, less what the limiter's look-ahead holds back.
    const std::size_t from = 2 * static_cast<std::size_t>(4410 - e.engine.outputLatency());
    ASSERT_GE(source.size(), from + out.size());
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < out.size(); ++i) wrong += out[i] != source[from + i] / 32768.0f;
    EXPECT_EQ(wrong, 0u);
}

// Volume is linear amplitude, pan scales the far side only, and mono is the same on both sides.
TEST(Levels, VolumeAndPanScaleEachSide) {
    const double full = 0.5 / std::sqrt(2.0);  // the half-scale tone's RMS
    const struct {
        const char* file;
        int volume, pan;
        double left, right;  // RMS over full
    } rows[] = {{"sine1k_44k.wav", 100, 0, 1, 1},     {"sine1k_44k.wav", 50, 0, 0.5, 0.5},
                {"sine1k_44k.wav", 100, -100, 1, 0},  {"sine1k_44k.wav", 80, 50, 0.4, 0.8},
                {"sine1k_44k.wav", 0, 0, 0, 0},       {"mono1k_44k.wav", 100, 0, 1, 1}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.file << " volume " << r.volume << " pan " << r.pan);
        OfflineEngine e;
        const audio::Handle h = e.open(r.file);
        e.engine.setAttributes(h, audio::kKeepFrequency, r.volume, r.pan);
        e.engine.play(h);
        e.seconds(0.1);
        const Stereo out = e.seconds(0.5);
        EXPECT_NEAR(rms(channel(out, 0)) / full, r.left, 0.01);
        EXPECT_NEAR(rms(channel(out, 1)) / full, r.right, 0.01);
    }
}

TEST(Levels, LevelIsTheRecentPeakPerSide) {
    OfflineEngine e;
    const audio::Handle h = e.open("sine1k_44k.wav");
    EXPECT_EQ(e.engine.level(h), 0u);  // not playing
    e.engine.setAttributes(h, audio::kKeepFrequency, 100, 50);
    e.engine.play(h);
    e.seconds(0.2);
    const std::uint32_t level = e.engine.level(h);
    EXPECT_NEAR(static_cast<double>(level & 0xffff), 0.25 * 32768, 200);  // half scale, far side halved
    EXPECT_NEAR(static_cast<double>(level >> 16), 0.5 * 32768, 200);
    e.engine.setAttributes(h, audio::kKeepFrequency, 0, audio::kKeepPan);
    e.seconds(0.1);  // longer than the ~40 ms window
    EXPECT_EQ(e.engine.level(h), 0u);
    e.engine.setAttributes(h, audio::kKeepFrequency, 100, audio::kKeepPan);
    e.seconds(0.1);
    e.engine.pause(h);
    EXPECT_EQ(e.engine.level(h), 0u);
}

TEST(Equaliser, BandsAtZeroAndRemovedBandsLeaveTheSoundUntouched) {
    Stereo plain, flat, removed;
    for (int pass = 0; pass < 3; ++pass) {
        OfflineEngine e;
        const audio::Handle h = e.open("noise_44k.wav");
        if (pass > 0) {
            for (int b = 0; b < 3; ++b) e.engine.eqSet(h);
        }
        if (pass == 2) {
            audio::EqBandParams p;
            p.band = 0;
            p.centre = 100;
            p.gain = 12;
            e.engine.eqSetParameters(h, p);
            e.engine.eqRemove(h);
        }
        e.engine.play(h);
        e.seconds(0.3);
        (pass == 0 ? plain : pass == 1 ? flat : removed) = e.seconds(0.2);
    }
    EXPECT_EQ(plain, flat);
    EXPECT_EQ(plain, removed);
}

// The deck reads a band back to change its rate on every pitch move.
TEST(Equaliser, ParametersReadBackPerBand) {
    OfflineEngine e;
    const audio::Handle h = e.open("sine1k_44k.wav");
    audio::EqBandParams p;
    EXPECT_FALSE(e.engine.eqGetParameters(h, &p));  // no band slot yet
    for (int b = 0; b < 3; ++b) ASSERT_TRUE(e.engine.eqSet(h));
    p.band = 2;
    p.sampleRate = 47628;
    p.gain = -35;
    ASSERT_TRUE(e.engine.eqSetParameters(h, p));
    audio::EqBandParams back;
    back.band = 2;
    ASSERT_TRUE(e.engine.eqGetParameters(h, &back));
    EXPECT_EQ(back.sampleRate, 47628u);
    EXPECT_FLOAT_EQ(back.gain, -35.0f);
    back.band = 3;
    EXPECT_FALSE(e.engine.eqGetParameters(h, &back));
    EXPECT_EQ(e.engine.lastError(), audio::kErrIllegalParam);
}
