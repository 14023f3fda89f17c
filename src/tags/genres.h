#pragma once

#include <QString>
#include <QStringList>

namespace vx::tags {

// The ID3v1 genre names, numbers 0 to 147, exactly as the program shows them.
const QStringList& genreNames();

// The name of genre number `n`, or the empty text for a number beyond the table (255 = unset).
QString genreName(int n);

}  // namespace vx::tags
