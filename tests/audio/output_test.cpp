// The device-independent parts of the real output: which device the default opens, and how its
// dropouts are counted.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio/default_output.h"
#include "audio/output_health.h"

namespace vx::audio {
namespace {

TEST(DefaultOutput, PrefersTheSoundServerThenTheDefaultPcmThenAnyDevice) {
    constexpr HostApi A = HostApi::Alsa, J = HostApi::Jack;
    const OutputDevice hw{"HDA Intel PCH: ALC892 Analog (hw:0,0)", A, false, {}};
    const OutputDevice sysdefault{"sysdefault", A, true, {}};
    const OutputDevice pulse{"pulse", A, false, {}}, pipewire{"pipewire", A, false, {}}, dflt{"default", A, false, {}};
    const OutputDevice jackPulse{"pulse", J, false, {}};  // a JACK client of that name is no ALSA PCM
    struct Case {
        const char* what;
        std::vector<OutputDevice> devices;
        std::vector<std::size_t> order;
    };
    const Case cases[] = {
        {"PipeWire desktop", {hw, sysdefault, pulse, pipewire, dflt}, {3, 2, 4, 1, 0}},
        {"PulseAudio desktop", {hw, pulse, dflt, sysdefault}, {1, 2, 3, 0}},
        {"bare ALSA", {hw, sysdefault, dflt}, {2, 1, 0}},
        {"only cards", {hw, sysdefault}, {1, 0}},
        {"JACK name clash", {jackPulse, hw}, {0, 1}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(defaultOutputOrder(c.devices), c.order) << c.what;
}

TEST(OutputHealthMeter, CountsUnderrunsAndLateBlocksOnceEach) {
    OutputHealthMeter meter;
    meter.arm(10.0);
    meter.record(256, false);  // the first block has nothing to be late against
    meter.record(256, false);
    meter.record(128, true);
    OutputHealth h = meter.read();
    EXPECT_EQ(h.callbacks, 3u);
    EXPECT_EQ(h.frames, 640u);
    EXPECT_EQ(h.underruns, 1u);
    EXPECT_EQ(h.lateCallbacks, 0u);
    EXPECT_EQ(h.dropouts, 1u);

    meter.arm(0.005);
    meter.record(256, false);  // after (re)arming: not late, however long the stream was stopped
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    meter.record(256, true);  // late and flagged: one break in the sound
    h = meter.read();
    EXPECT_EQ(h.underruns, 2u);
    EXPECT_EQ(h.lateCallbacks, 1u);
    EXPECT_EQ(h.dropouts, 2u);
    EXPECT_GE(h.longestGapNs, 20'000'000);
}

}  // namespace
}  // namespace vx::audio
