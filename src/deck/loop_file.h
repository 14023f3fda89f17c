#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "services/file_system.h"

// Saved-loop files: one text line " <start>  <end> \r\n" (bytes of the decoded stream) in the loops
// folder, named after the song with "_L.dat", shared by both decks.
namespace vx::loopfile {

// Where the loop of `songPath` is kept: the name after the last "/" or "\" less its last four
// characters (the extension with its dot), followed by "_L.dat".
QString pathFor(const QString& loopFolder, const QString& songPath);

// The file's one line: each number with a leading space (the sign's place, none when negative) and
// a trailing space, then CR LF.
QByteArray format(std::int64_t start, std::int64_t end);

// A failure with the number and description the messages show.
struct Error {
    int number = 0;
    QString description;
};

struct Loop {
    std::int64_t start = 0;
    std::int64_t end = 0;
};

// Writes atomically (writeFileAtomically: a failure or a crash leaves the old file whole), creating the
// folder if needed. A full disk or quota is error 61, "Disk full"; any other failure error 75 with the
// system's description.
std::optional<Error> write(const QString& path, std::int64_t start, std::int64_t end,
                           FileSystem& fs = PosixFileSystem::instance());

enum class ReadStatus { Ok, NotFound, Bad };
struct ReadResult {
    ReadStatus status = ReadStatus::Bad;
    Loop loop;
    Error error;
};

// Reads the first two whole numbers (separated by spaces, tabs, commas or line ends). A loop is good
// when 0 <= start < end and start lies inside a song of `songLength` bytes; an end past the song is
// clamped to its length. A file that does not exist (or its folder) is NotFound; one that is not a regular
// file or is over 4 KiB is Bad with error 75 at once, never read (a FIFO or device could block or never end).
ReadResult read(const QString& path, std::int64_t songLength);

}  // namespace vx::loopfile
