#pragma once

#include <QDateTime>
#include <QString>

namespace vx {

// Whether `path` cannot be an intact SQLite database: not one at all (garbage), or shorter than the page
// count its header gives (truncated). A missing or empty file is not damaged: it becomes a new database.
// Reads the first 100 bytes only, so it answers at once even while another process holds the file locked.
bool databaseLooksDamaged(const QString& path);

// Moves `path` and its write-ahead log and shared-memory files aside as <path>.broken-<yyyyMMdd-HHmmss>
// (with -2, -3 ... when that name is taken). Returns the new name of the database file, empty when it
// could not be moved (then it is removed, so that a fresh database can take its place).
QString setDatabaseAside(const QString& path, const QDateTime& now);

}  // namespace vx
