#pragma once

#include <filesystem>
#include <ostream>

// Waveform figures, on two 5-minute songs with a steady beat that the benchmark makes once (beat_0.mp3 at
// 124 BPM and beat_1.mp3 at 128 BPM in `tracks`), both analysed and playing in the console at its design
// size (offscreen unless a platform is chosen):
// - waveform_frame_ms: UI-thread CPU time of one 60 Hz frame of both decks, the zoomed waveforms scrolled
//   and the overviews repainted (median; waveform_frame_p99_ms the slowest hundredth, which builds tiles).
// With VX_WAVEFORM_SHOT set to a file name, the console then fills the screen and is saved there.
void runWaveformBenchmarks(std::ostream& out, const std::filesystem::path& tracks);
