#pragma once

#include <string>

namespace vx::audio {

// What start-up checks about the sound libraries before it opens the sound system.
struct LibraryInfo {
    bool ffmpegPresent = false;        // libavformat/libavcodec/libswresample answer and can demux
    std::string ffmpegBuilt;           // e.g. "avformat 59.27.100, avcodec 59.37.100, swresample 4.7.100"
    std::string ffmpegRuntime;         // the same, from the libraries loaded at run time
    bool portaudioPresent = false;
    std::string portaudioBuilt;        // e.g. "19.6.0"
    std::string portaudioRuntime;
    bool windowsMedia = false;         // an ASF demuxer and a WMA decoder are compiled into FFmpeg
};

// Asks the libraries linked into this process. Cheap; touches no device.
LibraryInfo queryLibraryInfo();

}  // namespace vx::audio
