#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QtGlobal>
#include <vector>

namespace vx {

// The few file operations a safe save needs, as a seam: the program uses the POSIX one, tests give a
// version that fails a chosen call. Paths are the file system's own bytes (QFile::encodeName). Every call
// answers 0 or the errno value of its failure; none of them sets or reads errno for the caller.
class FileSystem {
  public:
    struct Status {
        mode_t mode = 0;  // type and permission bits
        nlink_t links = 0;
        qint64 size = 0;
        qint64 modified = 0;  // seconds since the epoch
    };

    virtual ~FileSystem() = default;

    // A new file that did not exist (O_EXCL), open for writing, with `mode` less the umask.
    virtual int create(const QByteArray& path, mode_t mode, int& fd) = 0;
    // An existing file, open for writing without truncating it.
    virtual int openForWrite(const QByteArray& path, int& fd) = 0;
    virtual int openForRead(const QByteArray& path, int& fd) = 0;
    // Writes all `size` bytes at the current offset; a write that makes no progress is ENOSPC.
    virtual int write(int fd, const char* data, qint64 size) = 0;
    // Reads up to `size` bytes; `got` 0 at the end of the file.
    virtual int read(int fd, char* data, qint64 size, qint64& got) = 0;
    virtual int seekToStart(int fd) = 0;
    virtual int truncate(int fd, qint64 size) = 0;
    virtual int sync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int setMode(int fd, mode_t mode) = 0;
    // rename(2): replaces `to` in one step.
    virtual int rename(const QByteArray& from, const QByteArray& to) = 0;
    virtual int remove(const QByteArray& path) = 0;
    // Makes the folder's entries (a rename, a new file) survive a power cut.
    virtual int syncFolder(const QByteArray& path) = 0;
    // stat(2), links followed.
    virtual int status(const QByteArray& path, Status& status) = 0;
    // lstat(2): the link itself.
    virtual int linkStatus(const QByteArray& path, Status& status) = 0;
    // The path with every symbolic link, "." and ".." resolved (realpath(3)); the file must exist.
    virtual int resolve(const QByteArray& path, QByteArray& resolved) = 0;
    // The names in a folder, without "." and "..".
    virtual int list(const QByteArray& folder, std::vector<QByteArray>& names) = 0;
};

// The real file system.
class PosixFileSystem : public FileSystem {
  public:
    int create(const QByteArray& path, mode_t mode, int& fd) override;
    int openForWrite(const QByteArray& path, int& fd) override;
    int openForRead(const QByteArray& path, int& fd) override;
    int write(int fd, const char* data, qint64 size) override;
    int read(int fd, char* data, qint64 size, qint64& got) override;
    int seekToStart(int fd) override;
    int truncate(int fd, qint64 size) override;
    int sync(int fd) override;
    int close(int fd) override;
    int setMode(int fd, mode_t mode) override;
    int rename(const QByteArray& from, const QByteArray& to) override;
    int remove(const QByteArray& path) override;
    int syncFolder(const QByteArray& path) override;
    int status(const QByteArray& path, Status& status) override;
    int linkStatus(const QByteArray& path, Status& status) override;
    int resolve(const QByteArray& path, QByteArray& resolved) override;
    int list(const QByteArray& folder, std::vector<QByteArray>& names) override;

    // The one instance the program's writers use unless given another.
    static PosixFileSystem& instance();
};

}  // namespace vx
