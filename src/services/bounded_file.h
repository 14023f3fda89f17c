#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Reading a small file the user may have replaced with anything: only a regular file (symbolic links
// followed) is opened at all, so a FIFO, device or folder answers at once instead of blocking or
// streaming for ever, and a file larger than the caller's limit is refused before any of it is read.
namespace vx {

struct BoundedRead {
    enum class Status {
        Ok,          // `bytes` holds the whole file
        Missing,     // neither the file nor (for a dangling link) its target exists
        NotRegular,  // a folder, FIFO, socket or device
        TooLarge,    // more than the limit, checked before reading and again while reading
        Failed,      // any other failure (permissions, a symbolic link loop, an I/O error): see `error`
    };
    Status status = Status::Failed;
    QByteArray bytes;
    int error = 0;  // the errno value for Failed
};

// Reads the whole of `path` when it is a regular file of at most `maxBytes` bytes.
BoundedRead readRegularFile(const QString& path, qint64 maxBytes);
// The same for a name given as the file system's own bytes (which need not be valid in any encoding).
BoundedRead readRegularFile(const QByteArray& nativeName, qint64 maxBytes);

// A regular file opened once and read in parts, for a caller that samples a file too large to read
// whole. The same checks as above: anything but a regular file is refused at once.
class RegularFileParts {
public:
    explicit RegularFileParts(const QString& path);
    ~RegularFileParts();
    RegularFileParts(const RegularFileParts&) = delete;
    RegularFileParts& operator=(const RegularFileParts&) = delete;

    BoundedRead::Status status() const { return status_; }
    int error() const { return error_; }
    qint64 size() const { return size_; }  // as it was when opened
    // Up to `length` bytes from `offset` (fewer at the end of the file); empty on a read error.
    QByteArray read(qint64 offset, qint64 length) const;

private:
    int fd_ = -1;
    BoundedRead::Status status_ = BoundedRead::Status::Failed;
    int error_ = 0;
    qint64 size_ = 0;
};

}  // namespace vx
