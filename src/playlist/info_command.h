#pragma once

#include <QStringList>
#include <QTextStream>

namespace vx::playlist {

// `velumix --info FILE...`: for a music file one JSON line {"file", "deck", "playlist"}; for a playlist
// file (.m3u, .m3u8) one JSON line per entry {"playlist", "index", "path", "line"}. Needs no display.
// Unreadable files give their file-name texts (or no entries); the exit code is 0.
int runInfoCommand(const QStringList& files, QTextStream& out);

}  // namespace vx::playlist
