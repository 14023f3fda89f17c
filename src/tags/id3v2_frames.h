#pragma once

#include <QByteArray>

namespace vx::tags {

// Bounds of what the tag reader accepts from a file: a tag, or a hostile one, costs at most a few MiB and
// time linear in its size. A compressed frame that is refused still uses up its whole share of the
// inflation budget, so many of them cannot add up to unbounded work.
inline constexpr qint64 kMaxId3v2TagBytes = 16 * 1024 * 1024;  // a larger tag is not read at all
inline constexpr qint64 kMaxId3v2FrameBytes = 1024 * 1024;  // a larger frame, stored or inflated, is skipped
inline constexpr qint64 kMaxInflatedTagBytes = 4 * 1024 * 1024;  // all compressed frames of one tag together
inline constexpr int kMaxFramesPerId = 16;  // of each frame we read; a later one is never shown

// The frames the displayed texts are built from, out of a plain ID3v2 tag (header and body with neither
// tag-wide unsynchronisation nor an extended header), as a new plain tag of the same version. Each kept
// frame is stored whole: inflated, resynchronised, without grouping byte or data length. Encrypted frames,
// frames that do not fit the bounds above and every other kind of frame are left out. One pass over the
// tag, so a tag of tens of thousands of frames costs no more than its bytes.
QByteArray shownFramesOf(const QByteArray& plainTag);

// Undoes unsynchronisation: every 0xFF 0x00 stands for 0xFF.
QByteArray resynchronised(QByteArrayView in);

}  // namespace vx::tags
