#include "services/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <limits>

namespace vx {

namespace {
BoundedRead answer(BoundedRead::Status status, int error = 0) {
    BoundedRead r;
    r.status = status;
    r.error = error;
    return r;
}

BoundedRead failure(int error) {
    return answer(
        error == ENOENT || error == ENOTDIR ? BoundedRead::Status::Missing : BoundedRead::Status::Failed,
        error);
}

// Opens `name` for reading when it is a regular file of at most `maxBytes` bytes; `*fd` stays -1 and the
// answer says why otherwise.
BoundedRead openRegular(const QByteArray& name, qint64 maxBytes, int* fd, struct stat* st) {
    *fd = -1;
    // stat first: opening a device can have effects of its own, and opening a FIFO waits for a writer.
    if (::stat(name.constData(), st) != 0) return failure(errno);
    if (!S_ISREG(st->st_mode)) return answer(BoundedRead::Status::NotRegular);
    if (st->st_size > maxBytes) return answer(BoundedRead::Status::TooLarge);

    // O_NONBLOCK: should the name have become a FIFO since the stat, opening it still does not wait.
    int opened = -1;
    do {
        opened = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (opened < 0 && errno == EINTR);
    if (opened < 0) return failure(errno);
    if (::fstat(opened, st) != 0) {
        const int error = errno;
        ::close(opened);
        return answer(BoundedRead::Status::Failed, error);
    }
    if (!S_ISREG(st->st_mode)) {
        ::close(opened);
        return answer(BoundedRead::Status::NotRegular);
    }
    *fd = opened;
    return answer(BoundedRead::Status::Ok);
}
}  // namespace

BoundedRead readRegularFile(const QString& path, qint64 maxBytes) {
    return readRegularFile(QFile::encodeName(path), maxBytes);
}

BoundedRead readRegularFile(const QByteArray& name, qint64 maxBytes) {
    int fd = -1;
    struct stat st {};
    const BoundedRead opened = openRegular(name, maxBytes, &fd, &st);
    if (fd < 0) return opened;
    BoundedRead r = answer(BoundedRead::Status::Ok);
    // One byte past the limit tells a file that grew since the stat from one that fits exactly.
    r.bytes.resize(qsizetype(qMin<qint64>(st.st_size, maxBytes) + 1));
    qint64 got = 0;
    while (r.status == BoundedRead::Status::Ok) {
        if (got == r.bytes.size()) {
            if (got > maxBytes) {
                r = answer(BoundedRead::Status::TooLarge);
                break;
            }
            r.bytes.resize(qsizetype(qMin<qint64>(got * 2, maxBytes + 1)));
        }
        const ssize_t n = ::read(fd, r.bytes.data() + got, size_t(r.bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            r = answer(BoundedRead::Status::Failed, errno);
        } else if (n == 0) {
            r.bytes.truncate(qsizetype(got));
            break;
        } else {
            got += n;
        }
    }
    ::close(fd);
    return r;
}

RegularFileParts::RegularFileParts(const QString& path) {
    struct stat st {};
    const BoundedRead opened =
        openRegular(QFile::encodeName(path), std::numeric_limits<qint64>::max(), &fd_, &st);
    status_ = opened.status;
    error_ = opened.error;
    if (fd_ >= 0) size_ = st.st_size;
}

RegularFileParts::~RegularFileParts() {
    if (fd_ >= 0) ::close(fd_);
}

QByteArray RegularFileParts::read(qint64 offset, qint64 length) const {
    if (fd_ < 0 || offset < 0 || length <= 0) return {};
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    qint64 got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd_, bytes.data() + got, size_t(length - got), off_t(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {};
        if (n == 0) break;
        got += n;
    }
    bytes.truncate(qsizetype(got));
    return bytes;
}

}  // namespace vx
