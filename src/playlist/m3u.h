#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "app/file_system.h"

namespace vx::playlist {

// True when the name ends in ".m3u" or ".m3u8", in any letter case.
bool isPlaylistFileName(const QString& name);

// The song paths of an M3U text. Lines end in CR LF, LF or CR, and a last line without an end counts;
// blanks around a line are dropped; blank lines and lines starting with "#" are skipped; a UTF-8
// byte-order mark is ignored; the text is UTF-8, or Latin-1 when it is not valid UTF-8. Relative paths are
// resolved against `folder`.
QStringList parseM3u(const QByteArray& bytes, const QString& folder);

// The song paths of an M3U file, or nothing when it cannot be read.
std::optional<QStringList> readM3u(const QString& path);

// The file's bytes: one path per line, each ended by CR LF, as UTF-8.
QByteArray formatM3u(const QStringList& paths);

// Writes the playlist atomically (writeFileAtomically): the old file stays whole when writing fails. On
// failure `error` (if given) receives the system's description.
bool writeM3u(const QString& path, const QStringList& paths, QString* error = nullptr,
              FileSystem& fs = PosixFileSystem::instance());

}  // namespace vx::playlist
