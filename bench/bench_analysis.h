#pragma once

#include <filesystem>
#include <ostream>

// The analysis of a 5-minute 320 kbit/s MP3 in `dir`, decoding included, one line each ("name value unit"):
// analysis_x_realtime (track seconds per second of the analysing thread's CPU time: one core),
// analysis_x_realtime_wall.
void runAnalysisBenchmarks(std::ostream& out, const std::filesystem::path& dir);
