#include "support/tag_fixtures.h"

#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace vx::test {

namespace {
QByteArray encode(TextEncoding encoding, const QString& text, bool terminate) {
    QByteArray out;
    switch (encoding) {
        case TextEncoding::Latin1:
            out = text.toLatin1();
            break;
        case TextEncoding::Utf8:
            out = text.toUtf8();
            break;
        case TextEncoding::Utf16Bom:
        case TextEncoding::Utf16Be: {
            if (encoding == TextEncoding::Utf16Bom) out.append("\xFF\xFE", 2);
            for (const QChar c : text) {
                const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
                if (encoding == TextEncoding::Utf16Bom) {
                    out.append(lo).append(hi);
                } else {
                    out.append(hi).append(lo);
                }
            }
            break;
        }
    }
    if (terminate) {
        out.append(
            QByteArray(encoding == TextEncoding::Latin1 || encoding == TextEncoding::Utf8 ? 1 : 2, '\0'));
    }
    return out;
}

QByteArray bigEndian(quint32 v, int bytes, bool synchsafe) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) {
        const int shift = synchsafe ? 7 * i : 8 * i;
        out.append(char((v >> shift) & (synchsafe ? 0x7F : 0xFF)));
    }
    return out;
}

QByteArray unsynchronised(const QByteArray& in) {
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        out.append(in.at(i));
        if (quint8(in.at(i)) == 0xFF &&
            (i + 1 == in.size() || (quint8(in.at(i + 1)) & 0xE0) == 0xE0 || in.at(i + 1) == 0)) {
            out.append('\0');
        }
    }
    return out;
}

QByteArray field(const QByteArray& text, int width, bool zeroPadded) {
    QByteArray out = text.left(width);
    out.append(QByteArray(width - out.size(), zeroPadded ? '\0' : ' '));
    return out;
}
}  // namespace

QByteArray textContent(TextEncoding encoding, const QString& text) {
    return QByteArray(1, char(encoding)) + encode(encoding, text, false);
}

QByteArray commentContent(TextEncoding encoding, const QString& description, const QString& text,
                          const QByteArray& language) {
    return QByteArray(1, char(encoding)) + language + encode(encoding, description, true) +
           encode(encoding, text, false);
}

QByteArray zlibOfZeros(qint64 inflatedBytes) {
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    static const QByteArray zeros(1 << 20, '\0');
    QByteArray out;
    char chunk[65536];
    int flush = Z_NO_FLUSH;
    do {
        if (z.avail_in == 0 && flush == Z_NO_FLUSH) {
            const qint64 n = std::min<qint64>(inflatedBytes, zeros.size());
            inflatedBytes -= n;
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
            z.avail_in = uInt(n);
            if (inflatedBytes == 0) flush = Z_FINISH;
        }
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        const int rc = deflate(&z, flush);
        out.append(chunk, qsizetype(sizeof chunk - z.avail_out));
        if (rc == Z_STREAM_END) break;
    } while (true);
    deflateEnd(&z);
    return out;
}

QByteArray compressedContent23(const QByteArray& zlibStream, quint32 inflatedBytes) {
    return bigEndian(inflatedBytes, 4, false) + zlibStream;
}

QByteArray id3v2Tag(const std::vector<Id3Frame>& frames, const Id3v2Options& options) {
    QByteArray body;
    quint8 flags = 0;
    if (options.extendedHeader && options.version == 3) {
        flags |= 0x40;
        body += bigEndian(6, 4, false) + QByteArray(2, '\0') + bigEndian(quint32(options.padding), 4, false);
    } else if (options.extendedHeader && options.version == 4) {
        flags |= 0x40;
        body += bigEndian(6, 4, true) + QByteArray("\x01\x00", 2);
    }
    for (const Id3Frame& f : frames) {
        if (options.version == 2) {
            body += f.id + bigEndian(quint32(f.content.size()), 3, false) + f.content;
        } else {
            body += f.id + bigEndian(quint32(f.content.size()), 4, options.version == 4) + '\0' +
                    char(f.format) + f.content;
        }
    }
    body += QByteArray(options.padding, '\0');
    if (options.unsynchronise) {
        flags |= 0x80;
        body = unsynchronised(body);
    }
    QByteArray header("ID3");
    header.append(char(options.version)).append('\0').append(char(flags));
    return header + bigEndian(quint32(body.size()), 4, true) + body;
}

QByteArray id3v1Block(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                      const QByteArray& year, const QByteArray& comment, quint8 genre, bool zeroPadded) {
    return QByteArray("TAG") + field(title, 30, zeroPadded) + field(artist, 30, zeroPadded) +
           field(album, 30, zeroPadded) + field(year, 4, zeroPadded) + field(comment, 30, zeroPadded) +
           QByteArray(1, char(genre));
}

QByteArray mpegFrames(int count) {
    QByteArray frame("\xFF\xFB\x90\x00", 4);
    frame.append(QByteArray(417 - 4, '\0'));
    return frame.repeated(count);
}

QString writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
    return path;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeTaggedMp3(const QString& path, const QString& title, const QString& artist) {
    return writeBytes(path, id3v2Tag({{"TIT2", textContent(TextEncoding::Latin1, title)},
                                      {"TPE1", textContent(TextEncoding::Latin1, artist)}}) +
                                mpegFrames(2));
}

bool makeWmaWithFfmpeg(const QString& path, const std::vector<QString>& metadata) {
    QStringList args{"-v", "error", "-y", "-f", "lavfi", "-i", "anullsrc=r=44100:cl=mono", "-t", "0.2"};
    for (const QString& m : metadata) args << "-metadata" << m;
    args << "-c:a"
         << "wmav2" << path;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    if (!ffmpeg.waitForFinished(20000)) return false;
    return ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0 && QFileInfo::exists(path);
}

}  // namespace vx::test
