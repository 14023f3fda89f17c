#include "services/atomic_file.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstring>

namespace vx {

namespace {
constexpr qint64 kChunk = qint64(1) << 20;
constexpr qint64 kStaleSeconds = 24 * 60 * 60;
constexpr int kSuffixLength = 6;
const QByteArray kMark = ".vx-";

FileError systemError(int number) {
    return {number, QString::fromLocal8Bit(std::strerror(number))};
}

// The file a save replaces: the end of any chain of symbolic links, or the path itself when nothing is
// there yet.
struct Target {
    QByteArray path;
    QByteArray folder;
    QByteArray name;
    bool exists = false;
    FileSystem::Status status;
};

int findTarget(FileSystem& fs, const QString& path, Target& target) {
    const QByteArray given = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    FileSystem::Status link;
    if (fs.linkStatus(given, link) == 0) {
        if (const int error = fs.resolve(given, target.path)) return error;
        if (const int error = fs.status(target.path, target.status)) return error;
        if (!S_ISREG(target.status.mode)) return S_ISDIR(target.status.mode) ? EISDIR : EINVAL;
        target.exists = true;
    } else {
        target.path = given;
    }
    const qsizetype slash = target.path.lastIndexOf('/');
    target.folder = slash > 0 ? target.path.left(slash) : QByteArray("/");
    target.name = target.path.mid(slash + 1);
    return 0;
}

// ".<name>.vx-XXXXXX" beside the target, the name cut (never inside a UTF-8 character) so that the whole
// fits the longest name a folder holds.
int createTemporary(FileSystem& fs, const Target& target, mode_t mode, QByteArray& path, int& fd) {
    QByteArray stem = '.' + target.name;
    qsizetype room = NAME_MAX - kMark.size() - kSuffixLength;
    if (stem.size() > room) {
        while (room > 1 && (static_cast<unsigned char>(stem[room]) & 0xC0) == 0x80) --room;
        stem.truncate(room);
    }
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        QByteArray suffix;
        for (int i = 0; i < kSuffixLength; ++i)
            suffix += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
        path = target.folder + '/' + stem + kMark + suffix;
        error = fs.create(path, mode, fd);
    }
    return error;
}

int copyAll(FileSystem& fs, int from, int to, qint64& copied) {
    QByteArray chunk(kChunk, Qt::Uninitialized);
    copied = 0;
    for (;;) {
        qint64 got = 0;
        if (const int error = fs.read(from, chunk.data(), kChunk, got)) return error;
        if (got == 0) return 0;
        if (const int error = fs.write(to, chunk.constData(), got)) return error;
        copied += got;
    }
}

// Compares two files chunk by chunk; `same` is false when they differ in any byte or in length.
int compareFiles(FileSystem& fs, const QByteArray& a, const QByteArray& b, bool& same) {
    int fdA = -1;
    int fdB = -1;
    int error = fs.openForRead(a, fdA);
    if (error == 0) error = fs.openForRead(b, fdB);
    QByteArray chunkA(kChunk, Qt::Uninitialized);
    QByteArray chunkB(kChunk, Qt::Uninitialized);
    same = true;
    for (qint64 gotA = 1; error == 0 && same && gotA > 0;) {
        qint64 gotB = 0;
        error = fs.read(fdA, chunkA.data(), kChunk, gotA);
        if (error == 0) error = fs.read(fdB, chunkB.data(), kChunk, gotB);
        same = gotA == gotB && std::memcmp(chunkA.constData(), chunkB.constData(), size_t(gotA)) == 0;
    }
    if (fdA >= 0) fs.close(fdA);
    if (fdB >= 0) fs.close(fdB);
    return error;
}

// Copies the file `from` over the contents of `to` (same inode), cutting it to the new length and syncing.
// `touched` tells whether `to` was opened for writing, and so may have changed.
int overwrite(FileSystem& fs, const QByteArray& from, const QByteArray& to, bool& touched) {
    int in = -1;
    int out = -1;
    touched = false;
    if (const int error = fs.openForRead(from, in)) return error;
    int error = fs.openForWrite(to, out);
    touched = error == 0;
    qint64 size = 0;
    if (error == 0) error = copyAll(fs, in, out, size);
    if (error == 0) error = fs.truncate(out, size);
    if (error == 0) error = fs.sync(out);
    if (out >= 0) {
        if (const int closed = fs.close(out); error == 0) error = closed;
    }
    fs.close(in);
    return error;
}

// The hard-linked file is rewritten where it is from `replacement`, after a backup of its old contents
// has been written, synced and compared with the file.
std::optional<FileError> rewriteInPlace(FileSystem& fs, const Target& target, const QByteArray& replacement) {
    QByteArray backup;
    int fd = -1;
    int error = createTemporary(fs, target, 0600, backup, fd);
    if (error != 0) return systemError(error);
    int in = -1;
    qint64 size = 0;
    error = fs.openForRead(target.path, in);
    if (error == 0) error = copyAll(fs, in, fd, size);
    if (in >= 0) fs.close(in);
    if (error == 0) error = fs.sync(fd);
    if (const int closed = fs.close(fd); error == 0) error = closed;
    bool same = false;
    if (error == 0) error = compareFiles(fs, target.path, backup, same);
    if (error == 0 && !same) error = EIO;
    if (error != 0) {
        fs.remove(backup);
        return systemError(error);
    }

    bool touched = false;
    bool restoring = false;
    error = overwrite(fs, replacement, target.path, touched);
    if (error != 0 && touched && overwrite(fs, backup, target.path, restoring) != 0) {
        FileError failure = systemError(error);
        failure.text += QStringLiteral(" (the old contents are kept in %1)").arg(QFile::decodeName(backup));
        return failure;
    }
    fs.remove(backup);
    if (error != 0) return systemError(error);
    return std::nullopt;
}

// Takes over the written temporary open as `fd`: syncs it and puts it in the target's place.
std::optional<FileError> finish(FileSystem& fs, const Target& target, const QByteArray& temporary, int fd) {
    int error = target.exists ? fs.setMode(fd, target.status.mode & 07777) : 0;
    if (error == 0) error = fs.sync(fd);
    if (const int closed = fs.close(fd); error == 0) error = closed;
    if (error == 0 && target.exists && target.status.links > 1) {
        const auto failure = rewriteInPlace(fs, target, temporary);
        fs.remove(temporary);
        return failure;
    }
    if (error == 0) error = fs.rename(temporary, target.path);
    if (error != 0) {
        fs.remove(temporary);
        return systemError(error);
    }
    // The new contents are in place now; a folder that cannot be synced may still lose the rename in a
    // power cut, which the caller is told rather than hearing the save succeeded.
    if (const int synced = fs.syncFolder(target.folder)) return systemError(synced);
    return std::nullopt;
}
}  // namespace

std::optional<FileError> writeFileAtomically(const QString& path, const QByteArray& bytes, FileSystem& fs) {
    Target target;
    if (const int error = findTarget(fs, path, target)) return systemError(error);
    QByteArray temporary;
    int fd = -1;
    if (const int error = createTemporary(fs, target, target.exists ? 0600 : 0666, temporary, fd))
        return systemError(error);
    if (const int error = fs.write(fd, bytes.constData(), bytes.size())) {
        fs.close(fd);
        fs.remove(temporary);
        return systemError(error);
    }
    return finish(fs, target, temporary, fd);
}

std::optional<FileError> editFileAtomically(const QString& path,
                                            const std::function<QString(const QString& copyPath)>& edit,
                                            FileSystem& fs) {
    Target target;
    if (const int error = findTarget(fs, path, target)) return systemError(error);
    if (!target.exists) return systemError(ENOENT);
    QByteArray temporary;
    int fd = -1;
    if (const int error = createTemporary(fs, target, 0600, temporary, fd)) return systemError(error);
    int in = -1;
    qint64 size = 0;
    int error = fs.openForRead(target.path, in);
    if (error == 0) error = copyAll(fs, in, fd, size);
    if (in >= 0) fs.close(in);
    const QString editError = error == 0 ? edit(QFile::decodeName(temporary)) : QString();
    if (error != 0 || !editError.isEmpty()) {
        fs.close(fd);
        fs.remove(temporary);
        return error != 0 ? systemError(error) : FileError{0, editError};
    }
    return finish(fs, target, temporary, fd);
}

bool isAtomicTemporaryName(const QByteArray& fileName) {
    const qsizetype mark = fileName.size() - kSuffixLength - kMark.size();
    if (!fileName.startsWith('.') || mark < 2 || fileName.mid(mark, kMark.size()) != kMark) return false;
    for (qsizetype i = mark + kMark.size(); i < fileName.size(); ++i) {
        const char c = fileName[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

int removeStaleTemporaries(const QString& folder, FileSystem& fs) {
    const QByteArray path = QFile::encodeName(folder);
    std::vector<QByteArray> names;
    if (folder.isEmpty() || fs.list(path, names) != 0) return 0;
    const qint64 cutoff = QDateTime::currentSecsSinceEpoch() - kStaleSeconds;
    int removed = 0;
    for (const QByteArray& name : names) {
        if (!isAtomicTemporaryName(name)) continue;
        const QByteArray file = path + '/' + name;
        FileSystem::Status status;
        if (fs.linkStatus(file, status) == 0 && S_ISREG(status.mode) && status.modified < cutoff &&
            fs.remove(file) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace vx
