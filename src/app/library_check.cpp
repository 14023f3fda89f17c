#include "app/library_check.h"

#include "services/dialogs.h"

namespace vx {

namespace {
void report(Dialogs& dialogs, const QString& code, const QString& text) {
    dialogs.message(text, code, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

QString versions(const std::string& runtime, const std::string& built) {
    return "\r\n\r\nFound: " + QString::fromStdString(runtime) +
           "\r\nExpected: " + QString::fromStdString(built);
}
}  // namespace

bool checkLibraries(const audio::LibraryInfo& info, Dialogs& dialogs) {
    if (!info.ffmpegPresent) {
        report(dialogs, "10X021F",
               "Velumix cannot start: the FFmpeg libraries it decodes music with (libavformat, libavcodec, "
               "libswresample) could not be found. Please install them and start Velumix again.");
        return false;
    }
    if (info.ffmpegRuntime != info.ffmpegBuilt) {
        report(dialogs, "10X022F",
               "Velumix cannot start: the installed FFmpeg libraries are not the version Velumix was built "
               "with. Please install the matching version or rebuild Velumix." +
                   versions(info.ffmpegRuntime, info.ffmpegBuilt));
        return false;
    }
    if (!info.portaudioPresent) {
        report(dialogs, "10X022aF",
               "Velumix cannot start: the PortAudio library it plays sound through could not be found. "
               "Please install it and start Velumix again.");
        return false;
    }
    if (info.portaudioRuntime != info.portaudioBuilt) {
        report(dialogs, "10X023F",
               "Velumix cannot start: the installed PortAudio library is not the version Velumix was built "
               "with. Please install the matching version or rebuild Velumix." +
                   versions(info.portaudioRuntime, info.portaudioBuilt));
        return false;
    }
    if (!info.windowsMedia) {
        report(dialogs, "10X024F",
               "The FFmpeg libraries found have no Windows Media support (ASF demuxer and WMA decoder). "
               "Velumix will start, but .wma and .asf files cannot be played.");
    }
    return true;
}

}  // namespace vx
