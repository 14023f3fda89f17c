#pragma once

#include <string>

namespace vx::bench {

struct FfmpegTimes {
    double real = -1;  // wall-clock seconds of its work (process start-up excluded); negative: failed
    double cpu = -1;   // user + system seconds
};

// Runs the ffmpeg command-line tool with `args` (output thrown away) and returns the times it
// reports with -benchmark.
FfmpegTimes ffmpegTimes(const std::string& args);
inline double ffmpegSeconds(const std::string& args) {
    return ffmpegTimes(args).real;
}
// Runs ffmpeg to make a file; false on failure.
bool ffmpegMake(const std::string& args);

}  // namespace vx::bench
