#pragma once

#include <QDateTime>
#include <QString>

namespace vx {

// Moves `path` and its write-ahead log and shared-memory files aside as <path>.broken-<yyyyMMdd-HHmmss>
// (with -2, -3 ... when that name is taken). Returns the new name of the database file, empty when it
// could not be moved (then it is removed, so that a fresh database can take its place).
QString setDatabaseAside(const QString& path, const QDateTime& now);

}  // namespace vx
