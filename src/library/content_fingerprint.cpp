#include "library/content_fingerprint.h"

#include <QCryptographicHash>
#include <algorithm>

#include "services/bounded_file.h"

namespace vx {

namespace {
constexpr qint64 kBlock = 64 * 1024;
constexpr qint64 kId3v1 = 128;
constexpr qint64 kApeFooter = 32;

quint32 littleEndian32(const QByteArray& b, int at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

// The bytes an ID3v2 tag at the start takes (header, body and footer), 0 without one.
qint64 leadingTag(const RegularFileParts& file) {
    const QByteArray h = file.read(0, 10);
    if (h.size() < 10 || !h.startsWith("ID3") || quint8(h[3]) == 0xFF || quint8(h[4]) == 0xFF) return 0;
    qint64 body = 0;
    for (int i = 6; i < 10; ++i) {
        if (quint8(h[i]) & 0x80) return 0;  // not a synch-safe size: not a tag
        body = body << 7 | quint8(h[i]);
    }
    const bool footer = quint8(h[5]) & 0x10;
    return std::min(file.size(), 10 + body + (footer ? 10 : 0));
}

// Where the audio ends once an ID3v1 tag and an APEv2 tag before it are left out.
qint64 audioEnd(const RegularFileParts& file, qint64 begin) {
    qint64 end = file.size();
    if (end - begin >= kId3v1 && file.read(end - kId3v1, 3) == "TAG") end -= kId3v1;
    if (end - begin >= kApeFooter) {
        const QByteArray footer = file.read(end - kApeFooter, kApeFooter);
        if (footer.size() == kApeFooter && footer.startsWith("APETAGEX")) {
            const bool header = littleEndian32(footer, 20) & 0x80000000u;
            const qint64 tag = qint64(littleEndian32(footer, 12)) + (header ? kApeFooter : 0);
            if (tag <= end - begin) end -= tag;
        }
    }
    return end;
}
}  // namespace

QString contentFingerprint(const QString& path) {
    const RegularFileParts file(path);
    if (file.status() != BoundedRead::Status::Ok) return {};
    const qint64 begin = leadingTag(file);
    const qint64 end = audioEnd(file, begin);
    const qint64 length = end - begin;

    QCryptographicHash hash(QCryptographicHash::Sha1);
    const quint64 n = quint64(length);
    char lengthBytes[8];
    for (int i = 0; i < 8; ++i) lengthBytes[i] = char(n >> (8 * i));
    hash.addData(QByteArrayView(lengthBytes, 8));
    if (length <= 3 * kBlock) {
        const QByteArray all = file.read(begin, length);
        if (all.size() != length) return {};
        hash.addData(all);
    } else {
        for (const qint64 at : {begin, begin + (length - kBlock) / 2, end - kBlock}) {
            const QByteArray block = file.read(at, kBlock);
            if (block.size() != kBlock) return {};
            hash.addData(block);
        }
    }
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace vx
