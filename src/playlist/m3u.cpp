#include "playlist/m3u.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cstring>

#include "services/atomic_file.h"
#include "services/bounded_file.h"

namespace vx::playlist {

namespace {
// Folder arithmetic on a file system name. Latin-1 maps every byte to one character and back, so the
// bytes of a name that is not UTF-8 survive QDir::cleanPath unchanged.
QByteArray cleanFileName(const QByteArray& name) {
    return QDir::cleanPath(QString::fromLatin1(name)).toLatin1();
}

QString cleanText(const QString& path) {
    return QDir::cleanPath(path);
}

bool isUrl(const QByteArray& line) {
    const qsizetype colon = line.indexOf("://");
    if (colon <= 0) return false;
    for (qsizetype i = 0; i < colon; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(line.at(i))) && line.at(i) != '+') return false;
    }
    return true;
}

QByteArray trimmedLine(const QByteArray& line) {
    qsizetype first = 0;
    qsizetype last = line.size();
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    while (first < last && blank(line.at(first))) ++first;
    while (last > first && blank(line.at(last - 1))) --last;
    return line.mid(first, last - first);
}

QString decodeLine(const QByteArray& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(line);
    return utf8.hasError() ? QString::fromLatin1(line) : text;
}

// A UTF-16 text (its byte-order mark tells the order) as UTF-8, so that it is split like any other.
std::optional<QByteArray> fromUtf16(const QByteArray& bytes) {
    const bool little = bytes.startsWith("\xFF\xFE");
    if (!little && !bytes.startsWith("\xFE\xFF")) return std::nullopt;
    QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                           QStringDecoder::Flag::Stateless);
    return QString(decoder.decode(bytes.mid(2))).toUtf8();
}

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// The whole of a regular file no larger than kMaxPlaylistBytes, or why not.
std::optional<QByteArray> readPlaylistBytes(const QByteArray& fileName, QString& error) {
    BoundedRead file = readRegularFile(fileName, kMaxPlaylistBytes);
    switch (file.status) {
        case BoundedRead::Status::Ok:
            return std::move(file.bytes);
        case BoundedRead::Status::NotRegular:
            error = QFileInfo(QFile::decodeName(fileName)).isDir()
                        ? QStringLiteral("is a folder, not a playlist file")
                        : QStringLiteral("is not a regular file");
            return std::nullopt;
        case BoundedRead::Status::TooLarge:
            error = QStringLiteral("is larger than 64 MiB");
            return std::nullopt;
        case BoundedRead::Status::Missing:
        case BoundedRead::Status::Failed:
            break;
    }
    error = systemError(file.error);
    return std::nullopt;
}

QByteArray absoluteFolderOf(const QByteArray& fileName) {
    QByteArray absolute = fileName;
    if (!absolute.startsWith('/')) absolute = QFile::encodeName(QDir::currentPath()) + '/' + absolute;
    absolute = cleanFileName(absolute);
    const qsizetype cut = absolute.lastIndexOf('/');
    return cut <= 0 ? QByteArray("/") : absolute.left(cut);
}
}  // namespace

bool isPlaylistFileName(const QString& name) {
    return name.endsWith(QStringLiteral(".m3u"), Qt::CaseInsensitive) ||
           name.endsWith(QStringLiteral(".m3u8"), Qt::CaseInsensitive);
}

M3uContents parseM3uContents(const QByteArray& input, const QByteArray& folder) {
    QByteArray bytes = fromUtf16(input).value_or(input);
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    const QString folderText = QFile::decodeName(folder);
    M3uContents contents;
    qsizetype start = 0;
    int number = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n') ++end;
        ++number;
        const QByteArray line = trimmedLine(QByteArray::fromRawData(bytes.constData() + start, end - start));
        start = end + 1;
        if (end + 1 < bytes.size() && bytes.at(end) == '\r' && bytes.at(end + 1) == '\n') ++start;
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line.size() > kMaxPlaylistLineBytes) {
            contents.rejected << QStringLiteral("line %1 is longer than 1 MiB").arg(number);
            continue;
        }
        if (line.contains('\0')) {
            contents.rejected << QStringLiteral("line %1 holds a NUL byte").arg(number);
            continue;
        }
        const QString text = decodeLine(line);
        if (folder.isEmpty() || line.startsWith('/') || isUrl(line)) {
            contents.entries.push_back({text, QByteArray(line.constData(), line.size())});
        } else {
            contents.entries.push_back(
                {cleanText(folderText + u'/' + text), cleanFileName(folder + '/' + line)});
        }
    }
    return contents;
}

QStringList parseM3u(const QByteArray& bytes, const QString& folder) {
    QStringList paths;
    for (const M3uEntry& entry : parseM3uContents(bytes, QFile::encodeName(folder)).entries) {
        paths << entry.path;
    }
    return paths;
}

std::optional<M3uContents> readM3uFile(const QByteArray& fileName, QString* error) {
    QString why;
    const std::optional<QByteArray> bytes = readPlaylistBytes(fileName, why);
    if (!bytes) {
        if (error != nullptr) *error = why;
        return std::nullopt;
    }
    return parseM3uContents(*bytes, absoluteFolderOf(fileName));
}

std::optional<QStringList> readM3u(const QString& path, QString* error) {
    const std::optional<M3uContents> contents = readM3uFile(QFile::encodeName(path), error);
    if (!contents) return std::nullopt;
    QStringList paths;
    for (const M3uEntry& entry : contents->entries) paths << entry.path;
    return paths;
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
