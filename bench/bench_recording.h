#pragma once

#include <filesystem>
#include <ostream>

// Recording figures, one line each ("name value unit"): the live recorder's writer thread taking a
// 5-minute two-deck mix of the benchmark's MP3s (track5_0.mp3, track5_1.mp3 in `tracks`), rendered
// offline at the pace of a sound card's blocks:
// - recording_cpu_pct: CPU time of the writer thread (draining the ring, FLAC encoding, writing) per
//   second of sound recorded, as a percentage of one core; recording_cpu_pct_wav the same for WAV;
// - recording_dropped_frames: frames the audio thread could not hand over (0 expected).
void runRecordingBenchmarks(std::ostream& out, const std::filesystem::path& tracks);
