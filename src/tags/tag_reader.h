#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace vx::tags {

// Decoded text fields of one ID3 tag (blanks kept; ID3v2 fields may still hold control characters).
struct TagFields {
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;  // the comment's text only, without language code or description
    QString genre;
};

// One entry of a Windows Media tag list: key (e.g. "Title", "WM/AlbumTitle") and value.
struct WmaEntry {
    QString key;
    QString value;
};

// Everything the display texts are built from. A source that the file does not have is empty.
// The ID3v1 block is only read when the ID3v2 tag has neither title nor artist.
struct FileTags {
    std::optional<TagFields> id3v2;
    std::optional<TagFields> id3v1;
    std::optional<std::vector<WmaEntry>> wma;  // set only for Windows Media (ASF) files
};

// A tag with neither title nor artist counts as absent, so the next source is tried.
bool hasTitleOrArtist(const TagFields& fields);

// Reads every tag source of a file. Never throws and never fails: an unreadable file has no tags.
// Safe to call from any thread.
FileTags readFileTags(const QString& path);
// The same for a file named by the file system's own bytes (a name that need not be UTF-8).
FileTags readFileTagsAt(const QByteArray& fileName);

// The ID3v2 tag alone (versions 2.2, 2.3 and 2.4), or nothing when the file has none.
std::optional<TagFields> readId3v2(const QString& path);

// True when the file starts with the ASF header object, the container of WMA and ASF files.
bool isWindowsMediaFile(const QString& path);

}  // namespace vx::tags
