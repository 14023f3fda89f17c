#include "audio/library_info.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}
#include <portaudio.h>

namespace vx::audio {

namespace {

std::string version(unsigned v) {
    return std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xff) + "." + std::to_string(v & 0xff);
}

}  // namespace

LibraryInfo queryLibraryInfo() {
    LibraryInfo info;
    info.ffmpegBuilt = "avformat " + version(LIBAVFORMAT_VERSION_INT) + ", avcodec " +
                       version(LIBAVCODEC_VERSION_INT) + ", swresample " + version(LIBSWRESAMPLE_VERSION_INT);
    info.ffmpegRuntime = "avformat " + version(avformat_version()) + ", avcodec " +
                         version(avcodec_version()) + ", swresample " + version(swresample_version());
    info.ffmpegPresent = av_find_input_format("mp3") != nullptr || av_find_input_format("wav") != nullptr;
    info.windowsMedia =
        av_find_input_format("asf") != nullptr && avcodec_find_decoder(AV_CODEC_ID_WMAV2) != nullptr;
    // PortAudio's header names no release, only the V19 programming interface (Pa_GetVersionInfo
    // exists since 19.5). Both sides are therefore given as that generation, so that equal means
    // "the library loaded speaks the interface we were built for".
    info.portaudioBuilt = "19";
    const PaVersionInfo* runtime = Pa_GetVersionInfo();
    info.portaudioPresent = runtime != nullptr;
    info.portaudioRuntime = runtime ? std::to_string(runtime->versionMajor) : std::string();
    return info;
}

}  // namespace vx::audio
