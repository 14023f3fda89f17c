#pragma once

#include <QString>
#include <QStringList>

namespace vx::playlist {

// What the program was given on its command line.
enum class CommandLineKind {
    Empty,      // nothing: the remembered playlist reopens
    MusicFile,  // ".mp3", ".wav", ".wma" or ".asf": added to the playlist and played on the left deck
    Playlist,   // ".m3u" or ".m3u8": loaded as the playlist
    Other,      // anything else: ignored
};

// Classifies the first argument; extensions are compared without regard to case.
CommandLineKind classifyCommandLine(const QString& argument);

// What the files of the command line ask for. One file (or a name with blanks that the shell split
// into several) is `argument` as it always was; of several files, the first music file, or when there
// is none the first playlist, is `argument`, and the other music files and playlists go to the playlist
// in their order. Other files are passed over.
struct FilesToOpen {
    QString argument;
    QStringList more;
};
FilesToOpen filesToOpen(const QStringList& files);

// A playlist folder is missing when no folder of that name exists.
bool playlistFolderMissing(const QString& folder);

}  // namespace vx::playlist
