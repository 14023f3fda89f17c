// Recording figures: the recorder on the offline engine, its writer thread measured by its own CPU clock.
#include "bench_recording.h"

#include <chrono>
#include <thread>
#include <vector>

#include "audio/engine.h"
#include "audio/recorder.h"

namespace fs = std::filesystem;
using namespace vx;

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 256;

struct Recorded {
    double cpuPct = 0;
    std::uint64_t dropped = 0;
};

// Both tracks playing, panned apart, for their five minutes. Every simulated second of blocks gives the
// machine a few milliseconds, as a real-time output leaves the writer the time between its blocks.
Recorded recordMix(const fs::path& tracks, const fs::path& file) {
    audio::Engine e{audio::EngineOptions{}};
    e.initOffline(kRate);
    e.setBufferLength(1.1);
    for (int d = 0; d < 2; ++d) {
        const auto path = tracks / ("track5_" + std::to_string(d) + ".mp3");
        const audio::Handle h = e.createStream(audio::Family::Plain, path.string(), 0);
        while (!e.lengthIsFinal(h)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        e.setAttributes(h, audio::kKeepFrequency, 70, d ? 60 : -60);
        e.play(h);
    }
    audio::Recorder recorder(e);
    if (!recorder.start(file.string(), kRate)) return {-1, 0};
    std::vector<float> block(2 * kBlock);
    const int blocks = 300 * kRate / kBlock;
    for (int i = 0; i < blocks; ++i) {
        e.render(block.data(), kBlock);
        if (i % (kRate / kBlock) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    recorder.finish();
    const double seconds = static_cast<double>(recorder.framesCaptured()) / kRate;
    Recorded r;
    r.cpuPct = 100.0 * recorder.writerCpuSeconds() / seconds;
    r.dropped = recorder.framesDropped();
    fs::remove(file);
    return r;
}

}  // namespace

void runRecordingBenchmarks(std::ostream& out, const fs::path& tracks) {
    const Recorded flac = recordMix(tracks, tracks / "bench_recording.flac");
    const Recorded wav = recordMix(tracks, tracks / "bench_recording.wav");
    out << "recording_cpu_pct " << flac.cpuPct << " %\n";
    out << "recording_cpu_pct_wav " << wav.cpuPct << " %\n";
    out << "recording_dropped_frames " << flac.dropped + wav.dropped << " frames\n";
    out.flush();
}
