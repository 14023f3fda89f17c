#include "library/database_file.h"

#include <QFile>
#include <QFileInfo>

namespace vx {

namespace {
const char* const kCompanions[] = {"-wal", "-shm", "-journal"};
}  // namespace

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
