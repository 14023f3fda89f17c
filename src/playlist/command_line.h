#pragma once

#include <QString>

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

// A playlist folder is missing when no folder of that name exists.
bool playlistFolderMissing(const QString& folder);

}  // namespace vx::playlist
