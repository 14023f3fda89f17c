#include "ffmpeg_cli.h"

#include <cstdio>
#include <cstdlib>
#include <regex>

namespace vx::bench {

double ffmpegSeconds(const std::string& args) {
    const std::string command = "ffmpeg -nostdin -hide_banner -benchmark " + args + " -f null - 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    if (pclose(pipe) != 0) return -1;
    std::smatch m;
    static const std::regex rtime("rtime=([0-9.]+)s");
    return std::regex_search(text, m, rtime) ? std::stod(m[1]) : -1;
}

bool ffmpegMake(const std::string& args) {
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y " + args;
    return std::system(command.c_str()) == 0;
}

}  // namespace vx::bench
