#include "playlist/m3u.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include "app/atomic_file.h"

namespace vx::playlist {

namespace {
QString decode(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool isAbsoluteElsewhere(const QString& line) {
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    return drive.match(line).hasMatch() || line.contains(QStringLiteral("://")) || line.startsWith(u'\\');
}

QString resolved(const QString& line, const QString& folder) {
    if (folder.isEmpty() || QDir::isAbsolutePath(line) || isAbsoluteElsewhere(line)) return line;
    return QDir::cleanPath(folder + u'/' + line);
}
}  // namespace

bool isPlaylistFileName(const QString& name) {
    return name.endsWith(QStringLiteral(".m3u"), Qt::CaseInsensitive) ||
           name.endsWith(QStringLiteral(".m3u8"), Qt::CaseInsensitive);
}

QStringList parseM3u(const QByteArray& bytes, const QString& folder) {
    const QString text = decode(bytes);
    QStringList paths;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n') ++end;
        const QString line = text.mid(start, end - start).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#')) paths.append(resolved(line, folder));
        start = end + 1;
        if (end + 1 < text.size() && text.at(end) == u'\r' && text.at(end + 1) == u'\n') ++start;
    }
    return paths;
}

std::optional<QStringList> readM3u(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return parseM3u(bytes, QFileInfo(path).absolutePath());
}

QByteArray formatM3u(const QStringList& paths) {
    QByteArray out;
    for (const QString& p : paths) out += p.toUtf8() + "\r\n";
    return out;
}

bool writeM3u(const QString& path, const QStringList& paths, QString* error, FileSystem& fs) {
    const auto failure = writeFileAtomically(path, formatM3u(paths), fs);
    if (failure && error != nullptr) *error = failure->text;
    return !failure;
}

}  // namespace vx::playlist
