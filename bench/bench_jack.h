#pragma once

#include <filesystem>
#include <ostream>

// Real-output figures, one line each ("name value unit"), through the private JACK server that
// scripts/with-jack.sh starts (VX_JACK_SERVER names it; without it nothing is printed):
// - xruns_jack_60s: how often the sound broke up (underruns and late blocks) in a minute of the two
//   5-minute MP3s in `tracks` (track5_0.mp3, track5_1.mp3), pitched, decoding while they play;
// - jack_longest_gap_ms: the longest time between two output blocks in that minute.
void runJackBenchmarks(std::ostream& out, const std::filesystem::path& tracks);
