#include "playlist/command_line.h"

#include <QFileInfo>

#include "playlist/m3u.h"
#include "services/command_line.h"

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

FilesToOpen filesToOpen(const QStringList& files) {
    const QString joined = files.join(' ');
    if (files.size() <= 1 || QFileInfo::exists(joined)) return {joined, {}};
    FilesToOpen open;
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < files.size() && chosen < 0; ++i) {
        if (!musicFileFrom(files[i]).isEmpty()) chosen = i;
    }
    for (qsizetype i = 0; i < files.size() && chosen < 0; ++i) {
        if (isPlaylistFileName(files[i].trimmed())) chosen = i;
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        if (i == chosen) {
            open.argument = file;
        } else if (!musicFileFrom(file).isEmpty() || isPlaylistFileName(file.trimmed())) {
            open.more << file;
        }
    }
    return open;
}

}  // namespace vx::playlist
