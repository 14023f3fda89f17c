#include "tags/safe_file_edit.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vx::tags {

namespace {
QString copyInto(QFile& from, QFile& to) {
    QByteArray chunk;
    while (!from.atEnd()) {
        chunk = from.read(1 << 20);
        if (chunk.isEmpty() && from.error() != QFileDevice::NoError) return from.errorString();
        if (to.write(chunk) != chunk.size()) return to.errorString();
    }
    return to.flush() ? QString() : to.errorString();
}
}  // namespace

EditResult editFileSafely(const QString& path, const std::function<QString(const QString& copyPath)>& edit) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) return {false, QStringLiteral("The file was not found.")};
    QFile original(path);
    if (!original.open(QIODevice::ReadOnly)) return {false, original.errorString()};

    QTemporaryFile copy(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!copy.open()) return {false, copy.errorString()};
    QString error = copyInto(original, copy);
    original.close();
    copy.close();
    if (error.isEmpty()) error = edit(copy.fileName());
    if (!error.isEmpty()) return {false, error};

    // The mode bits themselves: Qt's permission flags would add what the current user may do.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 ||
        ::chmod(QFile::encodeName(copy.fileName()).constData(), st.st_mode & 07777) != 0) {
        return {false, QString::fromLocal8Bit(std::strerror(errno))};
    }
    // rename(2) replaces the original in one step; QFile::rename would refuse an existing target.
    if (std::rename(QFile::encodeName(copy.fileName()).constData(), QFile::encodeName(path).constData()) !=
        0) {
        return {false, QString::fromLocal8Bit(std::strerror(errno))};
    }
    copy.setAutoRemove(false);
    return {true, {}};
}

}  // namespace vx::tags
