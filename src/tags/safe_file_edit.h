#pragma once

#include <QString>
#include <functional>

namespace vx::tags {

// What a file edit came to: ok, or the system's description of what failed.
struct EditResult {
    bool ok = false;
    QString error;
};

// Edits a file so that it is never half-written: the file is copied to a temporary file beside it, `edit`
// changes the copy (returning an error text, empty on success), and the copy is renamed over the original
// with the original's permission bits. A read-only file is thus saved and stays read-only. On any failure
// the original is untouched and the copy removed.
EditResult editFileSafely(const QString& path, const std::function<QString(const QString& copyPath)>& edit);

}  // namespace vx::tags
