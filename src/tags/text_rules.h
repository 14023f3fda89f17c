#pragma once

#include <QString>

namespace vx::tags {

// The ten blanks that separate the fields of a deck display text.
inline const QString kFieldGap = QStringLiteral("          ");

// The product name appended to every deck display text.
QString productName();

// Drops every control character (codes 0-31, 127 and 128-159): tag texts reach displays and JSON lines.
QString removeControls(const QString& text);

// removeControls, then trims blanks at both ends.
QString removeNulls(const QString& text);

// Trims blanks (and only blanks) at both ends.
QString trimBlanks(const QString& text);

// The part of a path after its last '/', extension kept; the whole path when it has none. A '\\' is an
// ordinary character of a name.
QString fileNameOf(const QString& path);

// "title - artist" when both are given, the one given alone otherwise, empty when neither.
QString joinTitleArtist(const QString& title, const QString& artist);

}  // namespace vx::tags
