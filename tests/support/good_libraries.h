#pragma once

#include "audio/library_info.h"

namespace vx::test {

// Libraries as start-up wants them: present, with matching versions and Windows Media support.
inline audio::LibraryInfo goodLibraries() {
    audio::LibraryInfo info;
    info.ffmpegPresent = info.portaudioPresent = info.windowsMedia = true;
    info.ffmpegBuilt = info.ffmpegRuntime = "avformat 59.27.100";
    info.portaudioBuilt = info.portaudioRuntime = "19.6.0";
    return info;
}

}  // namespace vx::test
