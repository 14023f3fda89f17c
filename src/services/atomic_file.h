#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "services/file_system.h"

// The one way the program replaces a file's contents. The new contents go to a temporary file beside the
// file (".<name>.vx-XXXXXX"), every write is checked, the temporary is synced to disk, given the old file's
// permission bits and renamed over the file, and the folder is synced. On any failure before the rename
// the old file is untouched and the temporary removed; the caller gets what failed. A folder that cannot
// be synced after the rename is reported too, though the new contents are then in place.
//
// A symbolic link is followed: the file it points to is replaced and the link stays. A file with more than
// one hard link is rewritten in place instead (a rename would split it from its other names): its old
// contents are first copied to a temporary backup that is read back and compared, and put back if the
// rewrite fails.
namespace vx {

// What failed: the errno value (0 when the failure is not the system's) and its description.
struct FileError {
    int number = 0;
    QString text;
};

// Replaces the file at `path` (or creates it; its folder must exist) with `bytes`.
std::optional<FileError> writeFileAtomically(const QString& path, const QByteArray& bytes,
                                             FileSystem& fs = PosixFileSystem::instance());

// Edits a copy: the existing file is copied to a temporary beside it, `edit` changes that copy by its path
// (answering an error text, empty on success) and the copy then replaces the file as above.
std::optional<FileError> editFileAtomically(const QString& path,
                                            const std::function<QString(const QString& copyPath)>& edit,
                                            FileSystem& fs = PosixFileSystem::instance());

// True for the names of the temporaries made above.
bool isAtomicTemporaryName(const QByteArray& fileName);

// Removes the temporaries above that are older than a day from `folder` (left by a save that was killed);
// younger ones may belong to a save running now. Answers how many were removed.
int removeStaleTemporaries(const QString& folder, FileSystem& fs = PosixFileSystem::instance());

}  // namespace vx
