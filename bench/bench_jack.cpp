#include "bench_jack.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "audio/engine.h"
#include "audio/portaudio_output.h"

void runJackBenchmarks(std::ostream& out, const std::filesystem::path& tracks) {
    using namespace vx::audio;
    constexpr int kRate = 44100;
    // Only the scripts' own server: a studio's JACK server would play the minute out loud.
    if (!std::getenv("VX_JACK_SERVER")) {
        std::cerr << "xruns_jack_60s: no private JACK server (run the benchmark through scripts/with-jack.sh)\n";
        return;
    }
    const int device = firstDeviceOf(PortAudioSystem().outputDevices(), HostApi::Jack);
    Engine e{EngineOptions{}};
    if (device == 0 || !e.init(device, kRate) || !e.start()) {
        std::cerr << "xruns_jack_60s: the JACK output did not open\n";
        return;
    }
    e.setBufferLength(1.1);
    const int pitch[2] = {45423, 42777};  // +3 % and -3 %
    for (int d = 0; d < 2; ++d) {
        const auto path = tracks / ("track5_" + std::to_string(d) + ".mp3");
        const Handle h = e.createStream(Family::Plain, path.string(), 0);
        e.setAttributes(h, pitch[d], 80, d ? 100 : -100);
        e.play(h);  // while the rest of the song still decodes
    }
    std::this_thread::sleep_for(std::chrono::seconds(60));
    const OutputHealth health = e.outputHealth();
    e.shutdown();
    out << "xruns_jack_60s " << health.dropouts << " count\n";
    out << "jack_longest_gap_ms " << static_cast<double>(health.longestGapNs) / 1e6 << " ms\n";
    out.flush();
}
