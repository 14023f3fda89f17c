#include "playlist/command_line.h"

#include <QFileInfo>

#include "playlist/m3u.h"

namespace vx::playlist {

CommandLineKind classifyCommandLine(const QString& argument) {
    const QString name = argument.trimmed();
    if (name.isEmpty()) return CommandLineKind::Empty;
    if (isPlaylistFileName(name)) return CommandLineKind::Playlist;
    for (const char* ext : {".mp3", ".wav", ".wma", ".asf"}) {
        if (name.endsWith(QLatin1String(ext), Qt::CaseInsensitive)) return CommandLineKind::MusicFile;
    }
    return CommandLineKind::Other;
}

bool playlistFolderMissing(const QString& folder) {
    return folder.trimmed().isEmpty() || !QFileInfo(folder).isDir();
}

}  // namespace vx::playlist
