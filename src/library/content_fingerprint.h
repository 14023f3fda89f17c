#pragma once

#include <QString>

namespace vx {

// A name for a song's content that survives a rename, a move and a tag edit: SHA-1 (hex) of the length
// of the audio region plus three 64 KiB blocks of it (start, middle, end), read raw through the bounded
// reader. The audio region leaves out a leading ID3v2 tag and trailing APEv2 and ID3v1 tags, the tags a
// tag editor rewrites in MP3s; the metadata of other containers (FLAC, MP4, Ogg) is read like audio, so
// there a tag edit may give the song a new fingerprint. Empty when the file cannot be read.
// Any thread; reads at most 192 KiB plus the tag headers.
QString contentFingerprint(const QString& path);

}  // namespace vx
