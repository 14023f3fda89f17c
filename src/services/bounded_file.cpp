#include "services/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

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
}  // namespace

BoundedRead readRegularFile(const QString& path, qint64 maxBytes) {
    return readRegularFile(QFile::encodeName(path), maxBytes);
}

BoundedRead readRegularFile(const QByteArray& name, qint64 maxBytes) {
    // stat first: opening a device can have effects of its own, and opening a FIFO waits for a writer.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return failure(errno);
    if (!S_ISREG(st.st_mode)) return answer(BoundedRead::Status::NotRegular);
    if (st.st_size > maxBytes) return answer(BoundedRead::Status::TooLarge);

    // O_NONBLOCK: should the name have become a FIFO since the stat, opening it still does not wait.
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return failure(errno);
    BoundedRead r = answer(BoundedRead::Status::Ok);
    if (::fstat(fd, &st) != 0) {
        r = answer(BoundedRead::Status::Failed, errno);
    } else if (!S_ISREG(st.st_mode)) {
        r = answer(BoundedRead::Status::NotRegular);
    } else {
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
    }
    ::close(fd);
    return r;
}

}  // namespace vx
