// Transport in the mix: exact seeks, the end of the sound, stalls while decoding lags, and jumps that
// never click.

#include <cmath>

#include "audio/offline_engine.h"

using namespace vx;
using namespace vx::test;

namespace {

constexpr int kFade = 352;  // frames of a crossfade at 44100 Hz (8 ms), plus nothing to spare

// After the fade-in, every rendered frame is the file's own, counted from `first` (16-bit samples
// survive the float path exactly); the output lags by `late` frames.
void expectPlaysFrom(const Stereo& out, std::size_t late, const std::vector<std::int16_t>& file, std::int64_t first) {
    for (std::size_t k = kFade; k + late < out.size() / 2; ++k) {
        const std::size_t f = 2 * static_cast<std::size_t>(first + static_cast<std::int64_t>(k));
        ASSERT_EQ(std::lround(out[2 * (k + late)] * 32768.0f), file[f]) << k;
        ASSERT_EQ(std::lround(out[2 * (k + late) + 1] * 32768.0f), file[f + 1]) << k;
    }
}

// A stream whose decoder stops after half a second, opened without waiting, with `buffer` seconds of
// pre-buffer.
audio::Handle starved(OfflineEngine& e, double buffer) {
    e.engine.setBufferLength(buffer);
    e.engine.setDecodeLimitForNewStreams(22050);
    const audio::Handle h = e.open("sine1k_44k.wav", audio::Family::Plain, false);
    EXPECT_NE(h, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return h;
}

}  // namespace

// A seek lands on the exact frame (inside a frame: rounded down), stopped or playing; a move counts
// from where the sound is when it takes effect.
TEST(Seeking, PlaysFromTheExactFrameOfABytePosition) {
    const auto file = readWavSamples(fixture("noise_44k.wav"));
    ASSERT_EQ(file.size(), 88200u * 2);
    OfflineEngine e;
    const audio::Handle h = e.open("noise_44k.wav");
    const std::size_t late = static_cast<std::size_t>(e.engine.outputLatency());
    const struct {
        bool move;
        std::int64_t bytes, frame;
    } steps[] = {{false, 12345 * 4 + 3, 12345}, {false, 60000 * 4, 60000}, {true, -30000 * 4, 32000}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.frame);
        ASSERT_TRUE(s.move ? e.engine.moveBy(h, s.bytes) : e.engine.setPosition(h, s.bytes));
        EXPECT_EQ(e.engine.position(h), s.frame * 4);
        if (e.engine.activity(h) != audio::kPlaying) e.engine.play(h);
        expectPlaysFrom(e.render(2000), late, file, s.frame);
        EXPECT_EQ(e.engine.position(h), (s.frame + 2000) * 4);
    }
}

TEST(Transport, StopsByItselfAtTheEndOfTheSound) {
    OfflineEngine e;
    const audio::Handle h = e.open("sine1k_44k.wav");
    e.engine.setPosition(h, (88200 - 4410) * 4);
    e.engine.play(h);
    e.render(4000);
    EXPECT_EQ(e.engine.activity(h), audio::kPlaying);
    const Stereo tail = e.render(1000);
    EXPECT_EQ(e.engine.activity(h), audio::kStopped);
    EXPECT_EQ(e.engine.position(h), e.engine.length(h));
    EXPECT_EQ(peak(channel(tail, 0, 500)), 0.0f);
}

TEST(Transport, PauseResumeAndStopKeepThePosition) {
    OfflineEngine e;
    const audio::Handle h = e.open("sine1k_44k.wav");
    EXPECT_FALSE(e.engine.pause(h));
    EXPECT_EQ(e.engine.lastError(), audio::kErrNotPlaying);
    e.engine.play(h);
    e.render(4410);
    ASSERT_TRUE(e.engine.pause(h));
    EXPECT_EQ(e.engine.activity(h), audio::kPaused);
    const auto at = e.engine.position(h);
    EXPECT_EQ(at, 4410 * 4);
    const Stereo quiet = e.render(2000);
    EXPECT_EQ(e.engine.position(h), at);
    // Silent once the short fade-out has left the output.
    EXPECT_EQ(peak(channel(quiet, 0, kFade + static_cast<std::size_t>(e.engine.outputLatency()))), 0.0f);
    EXPECT_TRUE(e.engine.resume(h));
    EXPECT_FALSE(e.engine.resume(h));
    EXPECT_EQ(e.engine.lastError(), audio::kErrNotPaused);
    e.render(441);
    EXPECT_EQ(e.engine.position(h), at + 441 * 4);
    EXPECT_TRUE(e.engine.stopChannel(h));
    EXPECT_EQ(e.engine.activity(h), audio::kStopped);
}

TEST(Decoding, AStreamStallsWhileDecodingLagsAndGoesOnWhenItCatchesUp) {
    OfflineEngine e;
    const audio::Handle h = starved(e, 0.1);
    EXPECT_FALSE(e.engine.lengthIsFinal(h));
    EXPECT_EQ(e.engine.length(h), 88200 * 4);  // the estimate from the header
    e.engine.play(h);
    e.seconds(0.3);
    EXPECT_EQ(e.engine.activity(h), audio::kPlaying);
    e.seconds(0.4);
    EXPECT_EQ(e.engine.activity(h), audio::kStalled);
    const auto held = e.engine.position(h);
    EXPECT_LE(held, (22050 + 4096) * 4);  // the limit, plus the packet that crossed it
    EXPECT_EQ(peak(channel(e.seconds(0.1), 0, kFade)), 0.0f);
    EXPECT_EQ(e.engine.position(h), held);

    e.engine.setDecodeLimit(h, audio::Track::kUnlimited);
    e.waitDecoded(h);
    e.render(256);
    EXPECT_EQ(e.engine.activity(h), audio::kPlaying);
    e.seconds(0.1);
    EXPECT_GT(e.engine.position(h), held);
}

// A decoder that has shown its speed starts without the whole pre-buffer; once starved, it must refill it.
TEST(Decoding, AFastDecoderStartsAtOnceButAStarvedOneRefillsThePreBuffer) {
    OfflineEngine e;
    const audio::Handle h = starved(e, 1.0);
    e.engine.play(h);
    EXPECT_GT(peak(channel(e.render(512), 0)), 0.0f);
    EXPECT_EQ(e.engine.activity(h), audio::kPlaying);
    e.seconds(0.6);
    ASSERT_EQ(e.engine.activity(h), audio::kStalled);
    e.engine.setDecodeLimit(h, 60000);  // more, but less than a second ahead of the stall
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    e.seconds(0.1);
    EXPECT_EQ(e.engine.activity(h), audio::kStalled);
    e.engine.setDecodeLimit(h, audio::Track::kUnlimited);
    e.waitDecoded(h);
    e.render(256);
    EXPECT_EQ(e.engine.activity(h), audio::kPlaying);
}
namespace {

// The 50 Hz half-scale tone moves at most 2*pi*50/44100*0.5 = 0.0036 a sample; a click jumps by
// up to 1.0. Anything under 0.02 is a smooth join.
constexpr float kSmooth = 0.02f;

float worstStep(const Stereo& s) {
    return std::max(maxStep(channel(s, 0)), maxStep(channel(s, 1)));
}

}  // namespace

// Played plainly, then key-locked at +8 % (switched on and off and on again while it plays).
TEST(NoClicks, SeeksLoopWrapsPausesAndVolumeJumpsJoinSmoothly) {
  for (const bool keyLock : {false, true}) {
    SCOPED_TRACE(keyLock ? "key lock" : "plain");
    OfflineEngine e;
    const audio::Handle h = e.open("sine50_44k.wav");
    for (int b = 0; b < 3; ++b) e.engine.eqSet(h);
    audio::EqBandParams bass;
    bass.band = 0;
    bass.centre = 100;
    bass.gain = 6;
    e.engine.eqSetParameters(h, bass);  // a gain change while playing must not click either
    if (keyLock) e.engine.setAttributes(h, 47628, audio::kKeepVolume, audio::kKeepPan);
    e.engine.play(h);
    Stereo all = e.seconds(0.3);
    const auto append = [&all](const Stereo& s) { all.insert(all.end(), s.begin(), s.end()); };
    if (keyLock) {
        for (const bool on : {true, false, true}) {
            e.engine.setKeyLock(h, on);
            append(e.seconds(0.15));
        }
    }

    // The deck's seek: filters reset, then half a period away (the worst phase jump).
    e.engine.eqReset(h);
    e.engine.setPosition(h, e.engine.position(h) + 441 * 4);
    append(e.seconds(0.2));
    bass.gain = -12;
    e.engine.eqSetParameters(h, bass);
    append(e.seconds(0.1));

    e.engine.setAttributes(h, audio::kKeepFrequency, 0, audio::kKeepPan);
    append(e.render(512));
    e.engine.setAttributes(h, audio::kKeepFrequency, 100, audio::kKeepPan);
    append(e.render(512));

    const std::int64_t from = e.engine.position(h) / 4 + 300;
    e.engine.setLoop(h, from * 4, (from + 441 * 5 + 220) * 4);  // wraps out of phase
    append(e.seconds(0.5));
    e.engine.pause(h);
    append(e.seconds(0.05));
    e.engine.resume(h);
    append(e.seconds(0.05));

    const float step = worstStep(all);
    if (step >= kSmooth) {
        writeWav(::testing::TempDir() + (keyLock ? "no_clicks_key_lock_failed.wav" : "no_clicks_failed.wav"),
                 all, 44100);
    }
    EXPECT_LT(step, kSmooth);
    EXPECT_GT(peak(channel(all, 0)), 0.3f);  // it did play
  }
}

TEST(NoClicks, ABrakingStaircaseSlowsDownWithinEachBlock) {
    OfflineEngine e;
    const audio::Handle h = e.open("sine1k_44k.wav");
    e.engine.play(h);
    e.seconds(0.1);
    int f = 44100;
    Stereo all;
    while (f > 8100) {
        f -= 4000;
        e.engine.setAttributes(h, f, audio::kKeepVolume, audio::kKeepPan);
        const Stereo step = e.render(1323);  // 30 ms
        all.insert(all.end(), step.begin(), step.end());
    }
    // After the staircase the tone sounds at the last rate: 1 kHz scaled by it.
    const Stereo last = e.render(8820);
    EXPECT_NEAR(zeroCrossingHz(channel(last, 0), 44100), 1000.0 * f / 44100, 5.0);
    EXPECT_LT(worstStep(all), 0.08f);  // a 1 kHz half-scale tone moves up to 0.071 a sample
}

