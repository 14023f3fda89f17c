#include "tags/id3v1.h"

#include <QFile>

namespace vx::tags {

namespace {
QString field(const QByteArray& bytes, int offset, int width) {
    QByteArray raw = bytes.mid(offset, width);
    const qsizetype zero = raw.indexOf('\0');
    if (zero >= 0) raw.truncate(zero);
    return QString::fromLatin1(raw);
}

void putField(QByteArray& out, const QString& text, int width) {
    QByteArray bytes;
    bytes.reserve(width);
    for (const QChar c : text.left(width)) bytes.append(c.unicode() <= 0xFF ? char(c.unicode()) : '?');
    bytes.append(QByteArray(width - bytes.size(), ' '));
    out.append(bytes);
}
}  // namespace

std::optional<Id3v1Block> parseId3v1(const QByteArray& bytes) {
    if (bytes.size() != kId3v1Size || !bytes.startsWith("TAG")) return std::nullopt;
    Id3v1Block block;
    block.title = field(bytes, 3, 30);
    block.artist = field(bytes, 33, 30);
    block.album = field(bytes, 63, 30);
    block.year = field(bytes, 93, 4);
    block.comment = field(bytes, 97, 30);
    block.genre = quint8(bytes.at(127));
    return block;
}

std::optional<Id3v1Block> readId3v1(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < kId3v1Size) return std::nullopt;
    if (!file.seek(file.size() - kId3v1Size)) return std::nullopt;
    return parseId3v1(file.read(kId3v1Size));
}

QByteArray buildId3v1(const Id3v1Block& block) {
    QByteArray out("TAG");
    putField(out, block.title, 30);
    putField(out, block.artist, 30);
    putField(out, block.album, 30);
    putField(out, block.year, 4);
    putField(out, block.comment, 30);
    out.append(char(block.genre));
    return out;
}

std::optional<FileError> writeId3v1Tag(const QString& path, const Id3v1Block& fields, FileSystem& fs) {
    return editFileAtomically(
        path,
        [&fields](const QString& copyPath) -> QString {
            QFile file(copyPath);
            // Unbuffered, so that a failed write shows in write()'s answer.
            if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) return file.errorString();
            Id3v1Block block = fields;
            block.genre = 255;
            qint64 at = file.size();
            if (file.size() >= kId3v1Size && file.seek(file.size() - kId3v1Size)) {
                if (const auto old = parseId3v1(file.read(kId3v1Size))) {
                    block.genre = old->genre;
                    at = file.size() - kId3v1Size;
                }
            }
            const QByteArray bytes = buildId3v1(block);
            if (!file.seek(at) || file.write(bytes) != bytes.size()) return file.errorString();
            return {};
        },
        fs);
}

}  // namespace vx::tags
