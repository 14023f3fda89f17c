#include "ffmpeg_cli.h"

#include <cstdio>
#include <cstdlib>
#include <regex>

namespace vx::bench {

FfmpegTimes ffmpegTimes(const std::string& args) {
    const std::string command = "ffmpeg -nostdin -hide_banner -benchmark " + args + " -f null - 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string text;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    if (pclose(pipe) != 0) return {};
    std::smatch m;
    static const std::regex times("utime=([0-9.]+)s stime=([0-9.]+)s rtime=([0-9.]+)s");
    if (!std::regex_search(text, m, times)) return {};
    return {std::stod(m[3]), std::stod(m[1]) + std::stod(m[2])};
}

bool ffmpegMake(const std::string& args) {
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y " + args;
    return std::system(command.c_str()) == 0;
}

}  // namespace vx::bench
