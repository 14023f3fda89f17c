#include "bench_mix.h"

#include <QStringList>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "app/offline_mix.h"

namespace {

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

void runMixBenchmarks(std::ostream& out, const std::filesystem::path& tracks) {
    QStringList songs;
    for (int i = 0; i < 12; ++i)
        songs << QString::fromStdString((tracks / ("track5_" + std::to_string(i % 2) + ".mp3")).string());
    vx::OfflineMix mix({songs, 85, 0});
    std::vector<float> block;
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = processCpuSeconds();
    while (mix.renderStep(block) > 0) {
    }
    const double cpu = processCpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    out << "render_mix_x_realtime " << mix.secondsRendered() / cpu << " x\n";
    out << "render_mix_x_realtime_wall " << mix.secondsRendered() / wall << " x\n";
    out << "render_mix_minutes " << mix.secondsRendered() / 60 << " min\n";

    std::vector<double> checks = mix.autoDjCheckSeconds();
    if (checks.empty()) return;
    std::sort(checks.begin(), checks.end());
    out << "autodj_tick_ms " << checks[checks.size() / 2] * 1e3 << " ms\n";
    out << "autodj_tick_p99_ms " << checks[checks.size() * 99 / 100] * 1e3 << " ms\n";
    out.flush();
}
