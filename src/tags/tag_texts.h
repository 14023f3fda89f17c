#pragma once

#include <QString>

#include "tags/tag_reader.h"

namespace vx::tags {

// The two texts the program shows for a music file.
struct TagTexts {
    QString deck;      // the labelled text of a deck's display
    QString playlist;  // title and artist for a playlist line
};

// Both texts from the tags already read. Sources in order: ID3v2, ID3v1, the Windows Media list; a tag
// with neither title nor artist counts as absent. When nothing gives text, the file name stands in.
TagTexts tagTextsFrom(const FileTags& tags, const QString& path);

// Reads the file and builds both texts. Safe to call from any thread.
TagTexts readTagTexts(const QString& path);

// The deck display text of a file.
QString get_ID3_tag(const QString& path);
// The playlist line text of a file (without the line number).
QString getID3_tag(const QString& path);

}  // namespace vx::tags
