#pragma once

#include <string>

namespace vx::bench {

// Runs the ffmpeg command-line tool with `args` (output thrown away) and returns the real time it
// reports for its work with -benchmark, in seconds (process start-up excluded); negative on failure.
double ffmpegSeconds(const std::string& args);
// Runs ffmpeg to make a file; false on failure.
bool ffmpegMake(const std::string& args);

}  // namespace vx::bench
