#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "services/atomic_file.h"

namespace vx::tags {

// The five text fields and the genre byte of a 128-byte ID3v1 block. Texts are Latin-1, each cut at its
// first zero byte; blanks are kept (callers trim).
struct Id3v1Block {
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    quint8 genre = 255;
};

inline constexpr qint64 kId3v1Size = 128;

// The block held in `bytes` (128 bytes starting "TAG"), or nothing.
std::optional<Id3v1Block> parseId3v1(const QByteArray& bytes);

// The block at the end of the file, or nothing (no block, file shorter than 128 bytes, unreadable).
std::optional<Id3v1Block> readId3v1(const QString& path);

// The 128 bytes of a block: "TAG", the fields as Latin-1 cut to their widths (30, 30, 30, 4, 30) and padded
// with blanks, then the genre byte. A character without a Latin-1 code becomes '?'.
QByteArray buildId3v1(const Id3v1Block& block);

// Writes the five text fields into the file's ID3v1 block, keeping the block's genre byte (255 for a new
// block, which is appended after the audio). Done on a copy that then replaces the file (editFileAtomically),
// so a failure leaves the file as it was.
std::optional<FileError> writeId3v1Tag(const QString& path, const Id3v1Block& fields,
                                       FileSystem& fs = PosixFileSystem::instance());

}  // namespace vx::tags
