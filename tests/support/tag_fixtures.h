#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>
#include <vector>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Builders of tagged music files for tests: tag bytes written by hand, so every version, encoding and
// damage can be made on purpose.
namespace vx::test {

enum class TextEncoding : char { Latin1 = 0, Utf16Bom = 1, Utf16Be = 2, Utf8 = 3 };

struct Id3Frame {
    QByteArray id;  // "TIT2" (three letters for version 2.2)
    QByteArray content;
    quint8 format = 0;  // the second flag byte of versions 2.3 and 2.4 (0x80: zlib-compressed in 2.3)
};

// The content of a text frame: encoding byte and the encoded text.
QByteArray textContent(TextEncoding encoding, const QString& text);
// The content of a comment frame: encoding byte, language, description and text.
QByteArray commentContent(TextEncoding encoding, const QString& description, const QString& text,
                          const QByteArray& language = "eng");

// `inflatedBytes` zero bytes compressed with zlib, streamed: a compression "bomb" costs only its output.
QByteArray zlibOfZeros(qint64 inflatedBytes);
// The content of a version 2.3 compressed frame (format 0x80) whose zlib stream inflates to `inflatedBytes`.
QByteArray compressedContent23(const QByteArray& zlibStream, quint32 inflatedBytes);

struct Id3v2Options {
    int version = 3;              // 2, 3 or 4
    bool unsynchronise = false;   // version 2.3 only: the whole tag body
    bool extendedHeader = false;  // versions 2.3 and 2.4
    int padding = 0;
};
QByteArray id3v2Tag(const std::vector<Id3Frame>& frames, const Id3v2Options& options = {});

// A 128-byte ID3v1 block; fields padded with blanks, or with zero bytes when zeroPadded.
QByteArray id3v1Block(const QByteArray& title, const QByteArray& artist, const QByteArray& album = {},
                      const QByteArray& year = {}, const QByteArray& comment = {}, quint8 genre = 255,
                      bool zeroPadded = false);

// A few silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz).
QByteArray mpegFrames(int count = 4);

// Writes bytes to a file, creating its folder. Returns the path.
QString writeBytes(const QString& path, const QByteArray& bytes);
// The file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString& path);

// A tagged MP3: ID3v2 tag (title, artist; Latin-1, version 2.3), audio frames.
QString writeTaggedMp3(const QString& path, const QString& title, const QString& artist);

// Runs the ffmpeg command-line tool to make a short WMA file with the given metadata ("key=value").
// Returns false when ffmpeg is not available.
bool makeWmaWithFfmpeg(const QString& path, const std::vector<QString>& metadata);

}  // namespace vx::test
