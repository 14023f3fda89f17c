#include "deck/loop_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <limits>

#include "services/atomic_file.h"
#include "services/bounded_file.h"

namespace vx::loopfile {

namespace {
// Error numbers the loop messages show.
constexpr int kErrOverflow = 6;
constexpr int kErrTypeMismatch = 13;
constexpr int kErrDiskFull = 61;
constexpr int kErrPastEnd = 62;
constexpr int kErrFileAccess = 75;
constexpr int kErrBadLoop = 380;
constexpr qint64 kMaxFileBytes = 4096;  // a loop file is one short line: larger is not one of ours

QString number(std::int64_t n) {
    return (n >= 0 ? QStringLiteral(" ") : QString()) + QString::number(n) + QLatin1Char(' ');
}

ReadResult bad(int number, const QString& description) {
    ReadResult r;
    r.status = ReadStatus::Bad;
    r.error = {number, description};
    return r;
}
}  // namespace

QString pathFor(const QString& loopFolder, const QString& songPath) {
    const qsizetype slash =
        std::max(songPath.lastIndexOf(QLatin1Char('/')), songPath.lastIndexOf(QLatin1Char('\\')));
    QString name = songPath.mid(slash + 1);
    if (name.size() > 4) name.chop(4);
    return QDir(loopFolder).filePath(name + QStringLiteral("_L.dat"));
}

QByteArray format(std::int64_t start, std::int64_t end) {
    return (number(start) + number(end) + QStringLiteral("\r\n")).toLatin1();
}

std::optional<Error> write(const QString& path, std::int64_t start, std::int64_t end, FileSystem& fs) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Error{kErrFileAccess, QStringLiteral("Path/File access error")};
    const auto failure = writeFileAtomically(path, format(start, end), fs);
    if (!failure) return std::nullopt;
    if (failure->number == ENOSPC || failure->number == EDQUOT)
        return Error{kErrDiskFull, QStringLiteral("Disk full")};
    return Error{kErrFileAccess, failure->text};
}

ReadResult read(const QString& path, std::int64_t songLength) {
    const BoundedRead file = readRegularFile(path, kMaxFileBytes);
    switch (file.status) {
        case BoundedRead::Status::Ok:
            break;
        case BoundedRead::Status::Missing: {
            ReadResult r;
            r.status = ReadStatus::NotFound;
            return r;
        }
        case BoundedRead::Status::Failed:
            return bad(kErrFileAccess, qt_error_string(file.error));
        case BoundedRead::Status::NotRegular:
        case BoundedRead::Status::TooLarge:
            return bad(kErrFileAccess, QStringLiteral("Path/File access error"));
    }
    const QString text = QString::fromLatin1(file.bytes);

    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QStringList fields = text.split(separators, Qt::SkipEmptyParts);
    if (fields.size() < 2) return bad(kErrPastEnd, QStringLiteral("Input past end of file"));
    std::int64_t values[2];
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        const qlonglong v = fields[i].toLongLong(&ok);
        if (!ok) return bad(kErrTypeMismatch, QStringLiteral("Type mismatch"));
        if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
            return bad(kErrOverflow, QStringLiteral("Overflow"));
        values[i] = v;
    }
    Loop loop{values[0], std::min<std::int64_t>(values[1], songLength)};
    if (loop.start < 0 || loop.start >= loop.end)
        return bad(kErrBadLoop, QStringLiteral("The loop does not lie inside the song"));
    ReadResult r;
    r.status = ReadStatus::Ok;
    r.loop = loop;
    return r;
}

}  // namespace vx::loopfile
