#include "playlist/command_line.h"

#include <QFileInfo>

#include "app/command_line.h"
#include "playlist/m3u.h"

namespace vx::playlist {

CommandLineKind classifyCommandLine(const QString& argument) {
    const QString name = argument.trimmed();
    if (name.isEmpty()) return CommandLineKind::Empty;
    if (isPlaylistFileName(name)) return CommandLineKind::Playlist;
    return musicFileFrom(name).isEmpty() ? CommandLineKind::Other : CommandLineKind::MusicFile;
}

bool playlistFolderMissing(const QString& folder) {
    return folder.trimmed().isEmpty() || !QFileInfo(folder).isDir();
}

}  // namespace vx::playlist
