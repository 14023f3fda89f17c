// Headphones on a second sound card: two clocks that disagree, modelled offline. The main card's
// callback pushes a 1 kHz tone every block of its own clock, the headphones' card pulls every block of
// its clock, each clock off by its own amount and every callback late by a random fraction of a
// millisecond (0.5 ms, far more than a JACK server's). An hour of sound, rendered far faster than real time: the delay of the headphones
// behind the main output must never move by 1 ms from where it locked on, nothing may run dry or
// overflow, and the tone must come out clean at the end.
#include "audio/clock_bridge.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/signal.h"

using namespace vx;
using namespace vx::test;

namespace {

constexpr int kRate = 44100;

struct ClockCase {
    const char* name;
    double mainSpeed, phonesSpeed;  // each clock's true rate over the nominal one
    int mainBlock, phonesBlock;
};

TEST(ClockBridge, AnHourOfDriftStaysWithinAMillisecondWithoutRunningDry) {
    const ClockCase cases[] = {
        {"headphones' clock 0.1 % fast", 1.0, 1.001, 256, 256},
        {"headphones' clock 0.1 % slow", 1.0, 0.999, 256, 256},
    };
    for (const ClockCase& c : cases) {
        SCOPED_TRACE(c.name);
        audio::ClockBridge bridge(kRate, c.mainBlock, c.phonesBlock);
        std::mt19937 random(7);
        std::uniform_real_distribution<double> late(0.0, 0.0005);
        const double hour = 3600;
        const double mainFrameSeconds = 1.0 / (kRate * c.mainSpeed);
        const double phonesFrameSeconds = 1.0 / (kRate * c.phonesSpeed);

        std::vector<float> second(kRate);  // a whole number of the tone's cycles
        for (int k = 0; k < kRate; ++k) second[k] = static_cast<float>(0.5 * std::sin(2 * M_PI * 1000.0 * k / kRate));
        std::vector<float> block(2 * static_cast<std::size_t>(c.mainBlock));
        Stereo out(2 * static_cast<std::size_t>(c.phonesBlock)), tail;
        std::int64_t made = 0, played = 0;
        int tone = 0;
        double mainLate = 0, phonesLate = late(random);
        double firstDelay = NAN, worst = 0;
        while (played * phonesFrameSeconds < hour) {
            // A push stamps the frames made so far at the time its callback ran.
            const double mainAt = (made + c.mainBlock) * mainFrameSeconds + mainLate;
            const double phonesAt = played * phonesFrameSeconds + phonesLate;
            if (mainAt <= phonesAt) {
                for (int k = 0; k < c.mainBlock; ++k, tone = tone + 1 == kRate ? 0 : tone + 1) {
                    block[2 * k] = block[2 * k + 1] = second[tone];
                }
                made += c.mainBlock;
                bridge.push(block.data(), c.mainBlock, mainAt);
                mainLate = late(random);
                continue;
            }
            // The delay heard: when this frame plays on the headphones' clock, against when the frame
            // it reads played on the main clock.
            const double delay = played * phonesFrameSeconds - bridge.readPosition() * mainFrameSeconds;
            const bool wasLocked = bridge.locked();
            bridge.pull(out.data(), c.phonesBlock, phonesAt);
            if (wasLocked) {
                if (std::isnan(firstDelay)) firstDelay = delay;
                worst = std::max(worst, std::fabs(delay - firstDelay));
            }
            played += c.phonesBlock;
            phonesLate = late(random);
            if ((hour - played * phonesFrameSeconds) < 1.0) tail.insert(tail.end(), out.begin(), out.end());
        }
        EXPECT_FALSE(std::isnan(firstDelay)) << "never locked on";
        EXPECT_LT(worst, 0.001) << "the delay moved by " << worst * 1e3 << " ms";
        EXPECT_EQ(bridge.glitches(), 0u);
        EXPECT_EQ(bridge.framesDropped(), 0u);
        EXPECT_NEAR(bridge.ratio(), c.mainSpeed / c.phonesSpeed, 1e-5);
        const double heardHz = 1000.0 * c.mainSpeed / c.phonesSpeed;
        const double sinad = sinadDb(channel(tail, 0), heardHz, kRate);
        EXPECT_GT(sinad, 70.0);  // 98 dB with punctual callbacks: the rest is the jitter's pitch wobble
        std::printf("%s: delay %.2f ms, moved at most %.3f ms, ratio %.6f, SINAD %.1f dB\n", c.name,
                    firstDelay * 1e3, worst * 1e3, bridge.ratio(), sinad);
        if (HasFailure()) writeWav(::testing::TempDir() + "clock_bridge_failed.wav", tail, kRate);
    }
}

}  // namespace
