#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "services/file_system.h"

namespace vx::playlist {

// A playlist file is read only when it is a regular file of at most this many bytes.
inline constexpr qint64 kMaxPlaylistBytes = qint64(64) << 20;
// A longer line is refused (a song path is never that long; the rest of the file is still read).
inline constexpr qsizetype kMaxPlaylistLineBytes = qsizetype(1) << 20;

// True when the name ends in ".m3u" or ".m3u8", in any letter case.
bool isPlaylistFileName(const QString& name);

// One song of a playlist, as text and as the file system's name of the file. The two differ when the
// line is not UTF-8: the text is then its Latin-1 reading, while `fileName` keeps the line's own bytes.
struct M3uEntry {
    QString path;
    QByteArray fileName;
};

struct M3uContents {
    std::vector<M3uEntry> entries;
    QStringList rejected;  // one message per refused line: "line N ..."
};

// The songs of an M3U text. Lines end in CR LF, LF or CR, and a last line without an end counts; blanks
// and tabs around a line are dropped; blank lines and lines starting with "#" are skipped. A text with a
// UTF-16 byte-order mark (either byte order) is UTF-16; otherwise each line is UTF-8 where it is valid
// UTF-8 and Latin-1 where it is not, and a UTF-8 byte-order mark is ignored. A line holding a NUL or
// longer than kMaxPlaylistLineBytes is refused. Only '/' separates folders; a path not starting with one
// is resolved against `folder` (the file system's bytes), except a URL ("scheme://...").
M3uContents parseM3uContents(const QByteArray& bytes, const QByteArray& folder);

// The song paths of an M3U text as parseM3uContents reads them; `folder` as text.
QStringList parseM3u(const QByteArray& bytes, const QString& folder);

// The songs of an M3U file named by the file system's bytes, or nothing when it cannot be read: a
// missing or unreadable file, anything but a regular file (a folder, FIFO or device is refused without
// waiting on it) and a file larger than kMaxPlaylistBytes. `error` (if given) then tells why.
std::optional<M3uContents> readM3uFile(const QByteArray& fileName, QString* error = nullptr);

// The song paths of an M3U file, or nothing when it cannot be read (as readM3uFile).
std::optional<QStringList> readM3u(const QString& path, QString* error = nullptr);

// The file's bytes: one path per line, each ended by CR LF, as UTF-8.
QByteArray formatM3u(const QStringList& paths);

// Writes the playlist atomically (writeFileAtomically): the old file stays whole when writing fails. On
// failure `error` (if given) receives the system's description.
bool writeM3u(const QString& path, const QStringList& paths, QString* error = nullptr,
              FileSystem& fs = PosixFileSystem::instance());

}  // namespace vx::playlist
