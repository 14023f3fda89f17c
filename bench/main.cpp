// Velumix benchmark: prints one line per figure, "name value unit". Every figure is measured in this
// run, on music-like MP3s the benchmark makes once (5 and 60 minutes, 320 kbit/s) with ffmpeg.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "audio/engine.h"
#include "bench_analysis.h"
#include "bench_console.h"
#include "bench_jack.h"
#include "bench_library.h"
#include "bench_keylock.h"
#include "bench_mix.h"
#include "bench_playlist.h"
#include "bench_recording.h"
#include "bench_waveform.h"
#include "ffmpeg_cli.h"

namespace fs = std::filesystem;
using namespace vx;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 256;
const int kPitch[2] = {45423, 42777};  // +3 % and -3 %

double since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void figure(const char* name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// A pulse of bass, a chord that swells, a hi-hat of noise and a wandering lead: enough to keep an
// MP3 encoder and decoder as busy as music does.
bool makeTrack(const fs::path& path, int seconds, int variant) {
    const std::string d = std::to_string(seconds);
    const std::string base = variant ? "65.4" : "55";
    const std::string graph =
        "sine=f=" + base + ":d=" + d +
        ",volume=3,tremolo=f=2:d=0.9[bass];"
        "sine=f=" +
        std::to_string(variant ? 329.6 : 440.0) + ":d=" + d +
        ",tremolo=f=0.25:d=0.6[chord];"
        "anoisesrc=c=white:a=0.08:d=" +
        d + ":seed=" + std::to_string(7 + variant) +
        ",highpass=f=6000,tremolo=f=8:d=1[hat];"
        "sine=f=660:d=" +
        d +
        ",vibrato=f=0.5:d=0.8[lead];"
        "[bass][chord][hat][lead]amix=inputs=4:normalize=0,aformat=channel_layouts=stereo,extrastereo=m=1.5";
    return vx::bench::ffmpegMake("-filter_complex \"" + graph + "\" -ar 44100 -c:a libmp3lame -b:a 320k \"" +
                                 path.string() + "\"");
}

bool prepare(const fs::path& dir) {
    fs::create_directories(dir);
    for (int v = 0; v < 2; ++v) {
        const fs::path p = dir / ("track5_" + std::to_string(v) + ".mp3");
        if (!fs::exists(p) && !makeTrack(p, 300, v)) return false;
    }
    const fs::path sixty = dir / "track60.mp3";
    if (!fs::exists(sixty)) {
        return vx::bench::ffmpegMake("-stream_loop 11 -i \"" + (dir / "track5_0.mp3").string() +
                                     "\" -c copy \"" + sixty.string() + "\"");
    }
    return true;
}

void setEq(audio::Engine& e, audio::Handle h) {
    const float centres[3] = {100, 1000, 10000}, gains[3] = {5, -10, 5};
    for (int b = 0; b < 3; ++b) {
        e.eqSet(h);
        audio::EqBandParams p;
        p.band = b;
        p.centre = centres[b];
        p.gain = gains[b];
        p.bandwidth = 2;
        e.eqSetParameters(h, p);
    }
}

// Two decks, pitched and equalised, from opening the files until both have played to the end.
double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct RenderTimes {
    double wall = 1e9;
    double cpu = 1e9;  // of the whole process: the mix and both decoders
};

RenderTimes renderTwoDecks(const fs::path& a, const fs::path& b) {
    audio::Engine e{audio::EngineOptions{}};
    e.initOffline(kRate);
    e.setBufferLength(1.1);
    std::vector<float> block(2 * kBlock);
    const auto t0 = Clock::now();
    const double c0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    audio::Handle h[2] = {e.createStream(audio::Family::Plain, a.string(), 0),
                          e.createStream(audio::Family::Plain, b.string(), 0)};
    for (int d = 0; d < 2; ++d) {
        setEq(e, h[d]);
        e.setAttributes(h[d], kPitch[d], 80, d ? 100 : -100);
        e.play(h[d]);
    }
    for (;;) {
        const int a0 = e.activity(h[0]), a1 = e.activity(h[1]);
        if (a0 == audio::kStopped && a1 == audio::kStopped) break;
        if (a0 == audio::kStalled || a1 == audio::kStalled) {
            // The mix has caught up with a decoder: give it the processor, as a sound card's
            // thread would between two blocks.
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        e.render(block.data(), kBlock);
    }
    return {since(t0), cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - c0};
}

std::string mixGraph() {
    std::string g;
    for (int d = 0; d < 2; ++d) {
        const std::string deck = std::to_string(d);
        g.append("[").append(deck).append(":a]asetrate=").append(std::to_string(kPitch[d]));
        g.append(",aresample=44100,equalizer=f=100:t=o:w=2:g=5,equalizer=f=1000:t=o:w=2:g=-10,");
        g.append("equalizer=f=10000:t=o:w=2:g=5,volume=0.8[d").append(deck).append("];");
    }
    return g.append("[d0][d1]amix=inputs=2");
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

double firstAudioOnceMs(const fs::path& file) {
    audio::Engine e{audio::EngineOptions{}};
    e.initOffline(kRate);
    e.setBufferLength(1.1);
    std::vector<float> block(2 * kBlock);
    const auto t0 = Clock::now();
    const audio::Handle h = e.createStream(audio::Family::Plain, file.string(), 0);
    e.play(h);
    for (;;) {
        e.render(block.data(), kBlock);
        if (std::any_of(block.begin(), block.end(), [](float v) { return v != 0; })) break;
        if (since(t0) > 10) break;
        std::this_thread::yield();
    }
    return since(t0) * 1000;
}

// A 5-minute MP3 behind an ID3v2 tag of forty thousand small frames (0.8 MB), as some taggers leave them.
fs::path manyFramesTrack(const fs::path& dir) {
    const fs::path path = dir / "many_frames.mp3";
    if (fs::exists(path)) return path;
    std::string tag;
    for (int i = 0; i < 40000; ++i) {
        const std::string body = std::string(1, '\0') + "d" + std::to_string(i) + std::string(1, '\0') + "v";
        tag += "TXXX";
        for (int shift : {24, 16, 8, 0}) tag += static_cast<char>((body.size() >> shift) & 0xFF);
        tag += std::string(2, '\0') + body;
    }
    std::string header = "ID3";
    header += std::string{3, 0, 0};
    for (int shift : {21, 14, 7, 0}) header += static_cast<char>((tag.size() >> shift) & 0x7F);
    std::ifstream in(dir / "track5_0.mp3", std::ios::binary);
    std::ofstream(path, std::ios::binary) << header << tag << in.rdbuf();
    return path;
}

// Loading it as a deck does: read and probed on a worker (offered to Windows Media first, then opened plain),
// then made a stream of on the window thread. `blockMs` gets the time that last part holds the window
// thread; the answer is the time to the first sound.
double manyFramesMs(const fs::path& file, double* blockMs) {
    audio::Engine e{audio::EngineOptions{}};
    e.initOffline(kRate);
    std::vector<float> block(2 * kBlock);
    const auto t0 = Clock::now();
    // As the program loads: the file is read and probed on a worker; the window thread only makes the
    // stream of it, and that is all the time it is kept from its events.
    std::unique_ptr<audio::PreparedStream> prepared;
    std::thread worker([&] {
        if (e.prepareStream(audio::Family::WindowsMedia, file.string())->error != audio::kOk)
            prepared = e.prepareStream(audio::Family::Plain, file.string());
    });
    worker.join();
    const auto t1 = Clock::now();
    const audio::Handle h = e.createPrepared(std::move(prepared), 0);
    *blockMs = since(t1) * 1000;
    e.play(h);
    while (since(t0) < 60) {
        e.render(block.data(), kBlock);
        if (std::any_of(block.begin(), block.end(), [](float v) { return v != 0; })) break;
        std::this_thread::yield();
    }
    return since(t0) * 1000;
}

// Open to first sounding block, the median of five (one run can lose its time slice on a busy machine).
double firstAudioMs(const fs::path& file) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) runs.push_back(firstAudioOnceMs(file));
    std::sort(runs.begin(), runs.end());
    return runs[2];
}

struct DecodeTimes {
    double coldWall = 0;  // the first load: every page of sample memory is new to the process
    double wall = 1e9;    // best of the later loads, which reuse the memory of the ones before
    double cpu = 1e9;     // CPU time of that (the decoder thread's; the main thread only sleeps)
};

DecodeTimes fullDecode(const fs::path& file) {
    audio::Engine e{audio::EngineOptions{}};
    e.initOffline(kRate);
    DecodeTimes t;
    for (int i = 0; i < 4; ++i) {
        const auto t0 = Clock::now();
        const double c0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const audio::Handle h = e.createStream(audio::Family::Plain, file.string(), 0);
        while (!e.lengthIsFinal(h)) std::this_thread::sleep_for(std::chrono::microseconds(200));
        const double wall = since(t0), cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - c0;
        e.freeStream(h);
        if (i == 0) {
            t.coldWall = wall;
        } else {
            t.wall = std::min(t.wall, wall);
            t.cpu = std::min(t.cpu, cpu);
        }
    }
    return t;
}

double memoryPerMinute(const fs::path& file) {
    audio::Engine e{audio::EngineOptions{}};
    e.initOffline(kRate);
    const long before = residentBytes();
    const audio::Handle h = e.createStream(audio::Family::Plain, file.string(), 0);
    while (!e.lengthIsFinal(h)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double minutes = e.bytesToSeconds(h, e.length(h)) / 60;
    return static_cast<double>(residentBytes() - before) / 1e6 / minutes;
}

// A minute of two decks with equaliser and pitch, one device block at a time: p99.9 of the time a
// block takes, as a share of its period, measured as the rendering thread's CPU time (what the
// audio thread needs) and as wall time (which also counts this shared machine's preemptions).
std::pair<double, double> callbackShare(const fs::path& a, const fs::path& b) {
    audio::Engine e{audio::EngineOptions{}};
    e.initOffline(kRate);
    for (int d = 0; d < 2; ++d) {
        const audio::Handle h = e.createStream(audio::Family::Plain, (d ? b : a).string(), 0);
        while (!e.lengthIsFinal(h)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        setEq(e, h);
        e.setAttributes(h, kPitch[d], 80, 0);
        e.play(h);
    }
    std::vector<float> block(2 * kBlock);
    const int blocks = 60 * kRate / kBlock;
    std::vector<double> cpu, wall;
    cpu.reserve(blocks);
    wall.reserve(blocks);
    for (int i = 0; i < blocks; ++i) {
        const auto t0 = Clock::now();
        const double c0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        e.render(block.data(), kBlock);
        cpu.push_back(cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - c0);
        wall.push_back(since(t0));
    }
    const auto p999 = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(static_cast<double>(v.size()) * 0.999)];
    };
    const double period = static_cast<double>(kBlock) / kRate;
    return {p999(cpu) / period, p999(wall) / period};
}

// What reading one deck at pitch x1.08 costs the audio thread per output frame: the band-limited
// resampler and the voice's gains, no equaliser. Thread CPU time, the best of three 20 s renders.
double resamplerNsPerFrame(const fs::path& file) {
    audio::Engine e{audio::EngineOptions{}};
    e.initOffline(kRate);
    const audio::Handle h = e.createStream(audio::Family::Plain, file.string(), 0);
    while (!e.lengthIsFinal(h)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    e.setAttributes(h, kRate * 108 / 100, 100, 0);
    e.play(h);
    std::vector<float> block(2 * kBlock);
    const int blocks = 20 * kRate / kBlock;
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const double c0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        for (int i = 0; i < blocks; ++i) e.render(block.data(), kBlock);
        best = std::min(best, cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - c0);
    }
    return best * 1e9 / (static_cast<double>(blocks) * kBlock);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path dir =
        argc > 1 ? fs::path(argv[1]) : fs::absolute(argv[0]).parent_path().parent_path() / "bench-data";
    // The database figure needs no music files.
    if (argc > 2 && std::string(argv[2]) == "library") {
        runLibraryBenchmarks(std::cout);
        return 0;
    }
    if (!prepare(dir)) {
        std::fprintf(stderr, "could not make the benchmark tracks in %s (is ffmpeg installed?)\n",
                     dir.c_str());
        return 1;
    }
    double load = 0;
    if (getloadavg(&load, 1) == 1) figure("load_average", load, "runnable");
    // One group: "mix", "console", "waveform", "analysis", "keylock", "library" or "load".
    const std::string only = argc > 2 ? argv[2] : "";
    if (only == "mix") {
        runMixBenchmarks(std::cout, dir);
        return 0;
    }
    if (only == "keylock") {
        runKeyLockBenchmarks(std::cout, dir);
        return 0;
    }
    if (only == "analysis") {
        runAnalysisBenchmarks(std::cout, dir);
        return 0;
    }
    if (only == "console") {
        runConsoleBenchmarks(std::cout, dir);
        return 0;
    }
    if (only == "waveform") {
        runWaveformBenchmarks(std::cout, dir);
        return 0;
    }
    if (only == "load") {
        double blockMs = 0;
        figure("load_many_frames_ms", manyFramesMs(manyFramesTrack(dir), &blockMs), "ms");
        figure("window_max_block_ms", blockMs, "ms");
        return 0;
    }
    // First, while no sample memory has been used yet.
    figure("memory_mb_per_min", memoryPerMinute(dir / "track60.mp3"), "MB/min");
    const fs::path a = dir / "track5_0.mp3", b = dir / "track5_1.mp3", sixty = dir / "track60.mp3";
    const double outputSeconds = 300.0 * kRate / kPitch[1];  // the slower deck ends the mix
    const std::string inputs = "-i \"" + a.string() + "\" -i \"" + b.string() + "\" ";

    RenderTimes ours;
    for (int i = 0; i < 2; ++i) {
        const RenderTimes t = renderTwoDecks(a, b);
        ours.wall = std::min(ours.wall, t.wall);
        ours.cpu = std::min(ours.cpu, t.cpu);
    }
    const auto ffOne = vx::bench::ffmpegTimes("-filter_complex_threads 1 " + inputs + "-filter_complex \"" +
                                              mixGraph() + "\"");
    const auto ffDefault = vx::bench::ffmpegTimes(inputs + "-filter_complex \"" + mixGraph() + "\"");
    const double ffBest =
        std::min(ffOne.real > 0 ? ffOne.real : 1e9, ffDefault.real > 0 ? ffDefault.real : 1e9);
    const auto decodeA = vx::bench::ffmpegTimes("-threads 1 -i \"" + a.string() + "\"");
    const auto decodeB = vx::bench::ffmpegTimes("-threads 1 -i \"" + b.string() + "\"");

    figure("render_x_realtime", outputSeconds / ours.wall, "x");
    figure("ffmpeg_mix_x_realtime", outputSeconds / ffBest, "x");
    figure("render_vs_ffmpeg", ffBest / ours.wall, "ratio");
    figure("render_vs_ffmpeg_cpu", ffOne.cpu / ours.cpu, "ratio");
    figure("render_vs_decode_floor", ours.wall / (decodeA.real + decodeB.real), "ratio");
    figure("render_vs_decode_floor_cpu", ours.cpu / (decodeA.cpu + decodeB.cpu), "ratio");

    figure("first_audio_ms_5min", firstAudioMs(a), "ms");
    figure("first_audio_ms_60min", firstAudioMs(sixty), "ms");
    double blockMs = 0;
    figure("load_many_frames_ms", manyFramesMs(manyFramesTrack(dir), &blockMs), "ms");
    figure("window_max_block_ms", blockMs, "ms");

    const DecodeTimes decode = fullDecode(a);
    figure("full_decode_vs_ffmpeg", decode.wall / decodeA.real, "ratio");
    figure("full_decode_vs_ffmpeg_cpu", decode.cpu / decodeA.cpu, "ratio");
    figure("full_decode_vs_ffmpeg_cold", decode.coldWall / decodeA.real, "ratio");

    figure("resampler_ns_per_frame", resamplerNsPerFrame(a), "ns");

    const auto [shareCpu, shareWall] = callbackShare(a, b);
    figure("callback_p999_share", shareCpu, "share");
    figure("callback_p999_share_wall", shareWall, "share");

    std::fflush(stdout);
    runAnalysisBenchmarks(std::cout, dir);
    runKeyLockBenchmarks(std::cout, dir);
    runJackBenchmarks(std::cout, dir);
    runPlaylistBenchmarks(std::cout);
    runLibraryBenchmarks(std::cout);
    runConsoleBenchmarks(std::cout, dir);
    runWaveformBenchmarks(std::cout, dir);
    runRecordingBenchmarks(std::cout, dir);
    runMixBenchmarks(std::cout, dir);
    return 0;
}
