#include "support/faulty_file_system.h"

namespace vx::test {

int FaultyFileSystem::fault(const char* name) {
    if (++points != failAt) return 0;
    failed = QString::fromLatin1(name);
    return error;
}

int FaultyFileSystem::create(const QByteArray& path, mode_t mode, int& fd) {
    if (const int e = fault("create")) return e;
    return PosixFileSystem::create(path, mode, fd);
}

int FaultyFileSystem::openForWrite(const QByteArray& path, int& fd) {
    if (const int e = fault("openForWrite")) return e;
    return PosixFileSystem::openForWrite(path, fd);
}

int FaultyFileSystem::write(int fd, const char* data, qint64 size) {
    // A failing write may have stored part of its bytes, as a full disk does.
    if (const int e = fault("write")) {
        PosixFileSystem::write(fd, data, size / 2);
        return e;
    }
    return PosixFileSystem::write(fd, data, size);
}

int FaultyFileSystem::truncate(int fd, qint64 size) {
    if (const int e = fault("truncate")) return e;
    return PosixFileSystem::truncate(fd, size);
}

int FaultyFileSystem::sync(int fd) {
    if (const int e = fault("sync")) return e;
    return PosixFileSystem::sync(fd);
}

int FaultyFileSystem::syncFolder(const QByteArray& path) {
    if (const int e = fault("syncFolder")) return e;
    return PosixFileSystem::syncFolder(path);
}

int FaultyFileSystem::rename(const QByteArray& from, const QByteArray& to) {
    if (const int e = fault("rename")) return e;
    return PosixFileSystem::rename(from, to);
}

}  // namespace vx::test
