#pragma once

#include <QString>

#include "services/atomic_file.h"

namespace vx::tags {

// The texts the tag editor writes into an ID3v2 tag; an empty text removes its frame.
struct Id3v2Texts {
    QString title;    // TIT2
    QString artist;   // TPE1
    QString album;    // TALB
    QString year;     // TYER
    QString comment;  // COMM
};

// Writes the texts into the file's ID3v2 tag as version 2.3, each frame in Latin-1 when every character
// fits and in UTF-16 otherwise. Other frames (genre, pictures, ...) and any ID3v1 block stay as they were.
// TagLib edits a copy of the file, the copy is read back, and only then it replaces the file
// (editFileAtomically), so a failure leaves the file as it was.
std::optional<FileError> writeId3v2Tag(const QString& path, const Id3v2Texts& texts,
                                       FileSystem& fs = PosixFileSystem::instance());

}  // namespace vx::tags
