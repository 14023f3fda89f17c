#include "services/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vx {

namespace {
int answer(bool ok) {
    return ok ? 0 : errno;
}

int openWith(const QByteArray& path, int flags, mode_t mode, int& fd) {
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return answer(fd >= 0);
}

void fill(const struct stat& st, FileSystem::Status& status) {
    status.mode = st.st_mode;
    status.links = st.st_nlink;
    status.size = st.st_size;
    status.modified = st.st_mtim.tv_sec;
}
}  // namespace

int PosixFileSystem::create(const QByteArray& path, mode_t mode, int& fd) {
    return openWith(path, O_WRONLY | O_CREAT | O_EXCL, mode, fd);
}

int PosixFileSystem::openForWrite(const QByteArray& path, int& fd) {
    return openWith(path, O_WRONLY, 0, fd);
}

int PosixFileSystem::openForRead(const QByteArray& path, int& fd) {
    return openWith(path, O_RDONLY, 0, fd);
}

int PosixFileSystem::write(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        data += n;
        size -= n;
    }
    return 0;
}

int PosixFileSystem::read(int fd, char* data, qint64 size, qint64& got) {
    ssize_t n = 0;
    do {
        n = ::read(fd, data, size_t(size));
    } while (n < 0 && errno == EINTR);
    got = n < 0 ? 0 : n;
    return answer(n >= 0);
}

int PosixFileSystem::seekToStart(int fd) {
    return answer(::lseek(fd, 0, SEEK_SET) == 0);
}

int PosixFileSystem::truncate(int fd, qint64 size) {
    return answer(::ftruncate(fd, off_t(size)) == 0);
}

int PosixFileSystem::sync(int fd) {
    return answer(::fsync(fd) == 0);
}

int PosixFileSystem::close(int fd) {
    // Linux frees the descriptor even when close fails, so it is never retried.
    return answer(::close(fd) == 0 || errno == EINTR);
}

int PosixFileSystem::setMode(int fd, mode_t mode) {
    return answer(::fchmod(fd, mode) == 0);
}

int PosixFileSystem::rename(const QByteArray& from, const QByteArray& to) {
    return answer(::rename(from.constData(), to.constData()) == 0);
}

int PosixFileSystem::remove(const QByteArray& path) {
    return answer(::unlink(path.constData()) == 0);
}

int PosixFileSystem::syncFolder(const QByteArray& path) {
    int fd = -1;
    if (const int error = openWith(path, O_RDONLY | O_DIRECTORY, 0, fd)) return error;
    // File systems that cannot sync a folder (EINVAL) keep their entries by other means.
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

int PosixFileSystem::status(const QByteArray& path, Status& status) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return errno;
    fill(st, status);
    return 0;
}

int PosixFileSystem::linkStatus(const QByteArray& path, Status& status) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) return errno;
    fill(st, status);
    return 0;
}

int PosixFileSystem::resolve(const QByteArray& path, QByteArray& resolved) {
    char* real = ::realpath(path.constData(), nullptr);
    if (real == nullptr) return errno;
    resolved = QByteArray(real);
    std::free(real);
    return 0;
}

int PosixFileSystem::list(const QByteArray& folder, std::vector<QByteArray>& names) {
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr) return errno;
    names.clear();
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return 0;
}

PosixFileSystem& PosixFileSystem::instance() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace vx
