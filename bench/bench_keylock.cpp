#include "bench_keylock.h"

#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "audio/engine.h"

namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Per cent of this thread's core taken by rendering 60 s of one deck.
double deckCpuPercent(const std::filesystem::path& song, bool keyLock) {
    constexpr int kRate = 44100, kBlock = 256, kSeconds = 60;
    vx::audio::Engine e{vx::audio::EngineOptions{}};
    e.initOffline(kRate);
    const vx::audio::Handle h = e.createStream(vx::audio::Family::Plain, song.string(), 0);
    for (int waited = 0; !e.lengthIsFinal(h) && waited < 30000; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    e.setKeyLock(h, keyLock);
    e.setAttributes(h, kRate * 106 / 100, vx::audio::kKeepVolume, vx::audio::kKeepPan);
    e.play(h);
    std::vector<float> block(2 * kBlock);
    const double c0 = threadCpuSeconds();
    for (int done = 0; done < kSeconds * kRate; done += kBlock) e.render(block.data(), kBlock);
    return (threadCpuSeconds() - c0) / kSeconds * 100.0;
}

}  // namespace

void runKeyLockBenchmarks(std::ostream& out, const std::filesystem::path& tracks) {
    const auto song = tracks / "track5_0.mp3";
    const double locked = deckCpuPercent(song, true);
    const double plain = deckCpuPercent(song, false);
    out << "keylock_cpu_pct_per_deck " << locked << " %\n";
    out << "keylock_added_cpu_pct_per_deck " << locked - plain << " %\n";
}
