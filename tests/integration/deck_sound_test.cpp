// A deck's pitch, base frequency, equaliser and length, measured in what the engine plays.
#include <QString>
#include <chrono>
#include <cmath>
#include <thread>

#include "audio/track.h"
#include "integration/live_console.h"

namespace vx::test {
namespace {

class DeckSound : public LiveConsole {
  protected:
    // The tone's frequency once the change has been applied.
    double measuredHz() {
        play(0.03);
        return zeroCrossingHz(channel(play(0.2), 0), kRate);
    }
    double toneOn(double hz) {
        play(0.05);
        return goertzelAmplitude(channel(play(0.2), 0), hz, kRate);
    }
};

// The pitch fader moves the tone by its percentage; the 22 and 44 kHz buttons set the base frequency
// the pitch applies to, whatever the file's own rate.
TEST_F(DeckSound, PitchAndBaseFrequencyMoveTheTone) {
    load(Side::Right, "sine1k_44k.wav");
    fullLevels();
    Deck& d = deck(Side::Right);
    d.play_Click();
    EXPECT_NEAR(measuredHz(), 1000.0, 0.5);
    d.pitchSlider_Change(1800);  // +8 %: 0.01 % a step
    EXPECT_NEAR(measuredHz(), 1080.0, 0.5);
    d.pitchSlider_Change(200);
    EXPECT_NEAR(measuredHz(), 920.0, 0.5);

    d.speed22_Click();  // an octave down, at the same pitch offset
    EXPECT_NEAR(measuredHz(), 460.0, 0.5);
    d.pitchZero_Click();
    EXPECT_NEAR(measuredHz(), 500.0, 0.5);
    d.speed44_Click();
    EXPECT_NEAR(measuredHz(), 1000.0, 0.5);

    // A 48 kHz file plays at its own rate after loading; 44 kHz then slows it down.
    load(Side::Right, "sine1k_48k.wav");
    fullLevels();
    d.play_Click();
    EXPECT_NEAR(measuredHz(), 1000.0, 0.5);
    d.speed44_Click();
    EXPECT_NEAR(measuredHz(), 1000.0 * 44100 / 48000, 0.5);
    d.pitchSlider_Change(1800);
    EXPECT_NEAR(measuredHz(), 1080.0 * 44100 / 48000, 0.5);
}

// Each kill button takes its band at least 30 dB down and leaves the other two bands' tones within the
// skirt of the band's filter; a second press brings the band's own gain back.
TEST_F(DeckSound, EqualiserKillSilencesItsBand) {
    // One file with a tone at each band's centre.
    const double tones[3] = {100.0, 1000.0, 10000.0};
    const int frames = 8 * kRate;
    Stereo mix(2 * static_cast<std::size_t>(frames));
    for (const double hz : tones) {
        const std::vector<float> s = sine(hz, kRate, frames, 0.15);
        for (int i = 0; i < frames; ++i) {
            mix[2 * i] += s[static_cast<std::size_t>(i)];
            mix[2 * i + 1] += s[static_cast<std::size_t>(i)];
        }
    }
    const std::string path = dir.filePath("three_bands.wav").toStdString();
    ASSERT_TRUE(writeWav(path, mix, kRate));
    loadPath(Side::Left, path);
    fullLevels();
    Deck& d = deck(Side::Left);
    d.play_Click();

    double flat[3], on[3];
    for (int b = 0; b < 3; ++b) flat[b] = toneOn(tones[b]);
    if (!d.eq().on()) d.eq_Click();
    ASSERT_TRUE(d.eq().on());
    for (int b = 0; b < 3; ++b) {
        on[b] = toneOn(tones[b]);
        EXPECT_NEAR(toDb(on[b] / flat[b]), d.eq().gainDb(b), 0.5) << "band " << b;
    }
    for (int b = 0; b < 3; ++b) {
        d.eqKill_Click(b);
        ASSERT_TRUE(d.eq().killed(b));
        for (int other = 0; other < 3; ++other) {
            const double db = toDb(toneOn(tones[other]) / flat[other]);
            if (other == b)
                EXPECT_LE(db, -30.0) << "band " << b;
            else
                EXPECT_NEAR(db, toDb(on[other] / flat[other]), 6.0) << "band " << b << " tone " << other;
        }
        d.eqKill_Click(b);
        EXPECT_NEAR(toDb(toneOn(tones[b]) / on[b]), 0.0, 0.3) << "band " << b;
    }
}

// While the decoder still works the deck shows an estimated length; the display tick after decoding
// ends takes the exact one, and the song then plays to exactly that many bytes.
TEST_F(DeckSound, LengthBecomesExactWhenDecodingEnds) {
    sound.setDecodeLimitForNewStreams(kRate / 4);
    Deck& d = deck(Side::Left);
    ASSERT_TRUE(d.loadSong(QString::fromStdString(fixture("sine1k_vbr.mp3"))));
    EXPECT_FALSE(d.state().lengthFinal);
    const std::int64_t estimate = d.state().songLength;
    EXPECT_GT(estimate, 0);

    sound.setDecodeLimit(handle(Side::Left), audio::Track::kUnlimited);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!sound.lengthIsFinal(handle(Side::Left)) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(sound.lengthIsFinal(handle(Side::Left)));
    const std::int64_t exact = sound.length(handle(Side::Left));
    play(0.1);  // one display tick at least
    EXPECT_TRUE(d.state().lengthFinal);
    EXPECT_EQ(d.state().songLength, exact);
    EXPECT_NE(estimate, exact) << "a VBR file's estimate from its header is not its decoded length";

    // Played from the start to the end: sound for exactly the song's frames, then silence.
    fullLevels();
    d.play_Click();
    const Stereo out = play(static_cast<double>(exact) / 4 / kRate + 0.2);
    EXPECT_EQ(sound.activity(handle(Side::Left)), audio::kStopped);
    std::int64_t lastSound = -1;
    for (std::int64_t k = 0; 2 * k < static_cast<std::int64_t>(out.size()); ++k)
        if (out[static_cast<std::size_t>(2 * k)] != 0.0f) lastSound = k;
    EXPECT_NEAR(static_cast<double>(lastSound), static_cast<double>(exact / 4), 300.0);
    EXPECT_EQ(d.lcd().progress, 100);
    EXPECT_EQ(d.lcd().lengthText, QStringLiteral("00:00:00"));
}

}  // namespace
}  // namespace vx::test
