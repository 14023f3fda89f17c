#pragma once

#include <filesystem>
#include <ostream>

// Auto DJ figures, one line each ("name value unit"), from an offline mix of a 60-minute playlist (twelve
// 5-minute MP3 entries, track5_0.mp3 and track5_1.mp3 of `tracks` in turn), decoding included:
// - render_mix_x_realtime: seconds of mix per second of the process's CPU time (all threads, so one core's
//   worth); render_mix_x_realtime_wall the same per wall-clock second;
// - autodj_tick_ms: the median time of one display tick's Auto DJ check (mix points and marks), and
//   autodj_tick_p99_ms its 99th percentile. (The few checks that step load the next song, which the offline
//   mix decodes in full before going on; the live program reads it on a worker.)
void runMixBenchmarks(std::ostream& out, const std::filesystem::path& tracks);
