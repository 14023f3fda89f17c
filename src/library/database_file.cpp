#include "library/database_file.h"

#include <QFile>
#include <QFileInfo>

#include "services/bounded_file.h"

namespace vx {

namespace {
constexpr int kHeaderBytes = 100;

quint32 bigEndian(const QByteArray& b, int at, int bytes) {
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | quint8(b[at + i]);
    return v;
}

const char* const kCompanions[] = {"-wal", "-shm", "-journal"};
}  // namespace

bool databaseLooksDamaged(const QString& path) {
    const RegularFileParts file(path);
    if (file.status() == BoundedRead::Status::Missing) return false;
    if (file.status() != BoundedRead::Status::Ok) return file.status() == BoundedRead::Status::NotRegular;
    if (file.size() == 0) return false;
    const QByteArray header = file.read(0, kHeaderBytes);
    if (header.size() < kHeaderBytes || !header.startsWith(QByteArrayView("SQLite format 3\0", 16))) return true;
    const quint32 pageSize = bigEndian(header, 16, 2) == 1 ? 65536 : bigEndian(header, 16, 2);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) return true;
    if (file.size() % pageSize != 0) return true;
    // A write-ahead log left by a checkpoint that did not finish still holds pages the file lacks.
    if (QFileInfo(path + "-wal").size() > 0) return false;
    // The page count is only kept up to date by writers since 3.7.0, which then also stamp the change
    // counter beside it; an older file is judged by its size alone.
    const bool countValid = bigEndian(header, 24, 4) == bigEndian(header, 92, 4);
    const quint32 pages = bigEndian(header, 28, 4);
    return countValid && pages > 0 && qint64(pages) * pageSize > file.size();
}

QString setDatabaseAside(const QString& path, const QDateTime& now) {
    const QString stem = path + ".broken-" + now.toString("yyyyMMdd-HHmmss");
    QString target = stem;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo::exists(target + "-wal"); ++n) {
        target = stem + "-" + QString::number(n);
    }
    const bool moved = QFile::rename(path, target);
    if (!moved) QFile::remove(path);
    // A log left beside a damaged file belongs to it: a fresh database must not replay it.
    for (const char* companion : kCompanions) {
        if (!QFileInfo::exists(path + companion)) continue;
        if (!moved || !QFile::rename(path + companion, target + companion)) QFile::remove(path + companion);
    }
    return moved ? target : QString();
}

}  // namespace vx
