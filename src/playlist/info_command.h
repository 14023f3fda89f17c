#pragma once

#include <QByteArray>
#include <QList>
#include <QTextStream>

namespace vx::playlist {

// `velumix --info FILE...`, the files named by the file system's bytes. Needs no display.
// A music file gives one JSON line {"file", "deck", "playlist"}; an unreadable one its file-name texts.
// A playlist file (.m3u, .m3u8) gives one JSON line per entry {"playlist", "index", "path", "line"}, then
// one {"playlist", "error"} per refused line; a playlist that cannot be read gives {"playlist", "error"}.
// A name that is not UTF-8 is followed by its bytes in hex ("file_hex", "playlist_hex", "path_hex").
// The exit code is 1 when a playlist or one of its lines could not be read, 0 otherwise.
int runInfoCommand(const QList<QByteArray>& fileNames, QTextStream& out);

}  // namespace vx::playlist
