#include "tags/id3v2_frames.h"

#include <zlib.h>

#include <QHash>

namespace vx::tags {

namespace {
constexpr int kHeaderBytes = 10;

// Version 2.2 names first, then their 2.3/2.4 counterparts; TDAT/TIME complete a 2.3 year.
bool isShown(const QByteArray& id) {
    static const QByteArray kShown[] = {"TT2",  "TP1",  "TAL",  "TYE",  "COM",  "TCO",  "TDA",  "TIM", "TIT2",
                                        "TPE1", "TALB", "TYER", "TDRC", "COMM", "TCON", "TDAT", "TIME"};
    for (const QByteArray& shown : kShown) {
        if (id == shown) return true;
    }
    return false;
}

quint32 bigEndian(const char* p, int bytes) {
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | quint8(p[i]);
    return v;
}

// A 2.4 size, read as plain 32 bits when a byte has its top bit set (written so by some programs).
quint32 synchsafeOrPlain(const char* p) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) {
        if (quint8(p[i]) & 0x80) return bigEndian(p, 4);
        v = v << 7 | quint8(p[i]);
    }
    return v;
}

void putSize(QByteArray& out, quint32 size, int version) {
    if (version == 2) {
        for (int i = 2; i >= 0; --i) out.append(char((size >> (8 * i)) & 0xFF));
    } else {
        const int shift = version == 4 ? 7 : 8, mask = version == 4 ? 0x7F : 0xFF;
        for (int i = 3; i >= 0; --i) out.append(char((size >> (shift * i)) & mask));
    }
}

bool isFrameId(const char* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (!((p[i] >= 'A' && p[i] <= 'Z') || (p[i] >= '0' && p[i] <= '9'))) return false;
    }
    return true;
}

// Inflates a zlib stream, giving up (empty result, ok false) once the output would exceed `cap` bytes:
// a few hundred compressed bytes can stand for gigabytes.
QByteArray inflated(QByteArrayView in, qint64 cap, bool& ok) {
    ok = false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    QByteArray out;
    char chunk[16384];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = uInt(in.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        rc = inflate(&z, Z_NO_FLUSH);
        const qsizetype produced = qsizetype(sizeof chunk - z.avail_out);
        if (out.size() + produced > cap) {
            rc = Z_MEM_ERROR;
            break;
        }
        out.append(chunk, produced);
        if (rc == Z_OK && produced == 0 && z.avail_in == 0) break;  // truncated stream
        if (rc == Z_BUF_ERROR) break;
    }
    inflateEnd(&z);
    ok = rc == Z_STREAM_END;
    return ok ? out : QByteArray();
}

struct FrameFlags {
    bool compressed = false;
    bool encrypted = false;
    bool unsynchronised = false;
    int skippedBefore = 0;  // grouping, encryption method, data length or decompressed size bytes
};

FrameFlags flagsOf(int version, quint8 format) {
    FrameFlags f;
    if (version == 3) {
        f.compressed = format & 0x80;
        f.encrypted = format & 0x40;
        f.skippedBefore = (f.compressed ? 4 : 0) + (f.encrypted ? 1 : 0) + ((format & 0x20) ? 1 : 0);
    } else if (version == 4) {
        f.compressed = format & 0x08;
        f.encrypted = format & 0x04;
        f.unsynchronised = format & 0x02;
        f.skippedBefore = ((format & 0x40) ? 1 : 0) + (f.encrypted ? 1 : 0) + ((format & 0x01) ? 4 : 0);
    }
    return f;
}
}  // namespace

QByteArray resynchronised(QByteArrayView in) {
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        out.append(in.at(i));
        if (quint8(in.at(i)) == 0xFF && i + 1 < in.size() && in.at(i + 1) == 0) ++i;
    }
    return out;
}

QByteArray shownFramesOf(const QByteArray& plainTag) {
    if (plainTag.size() < kHeaderBytes) return {};
    const int version = plainTag.at(3);
    const int idBytes = version == 2 ? 3 : 4;
    const int frameHeader = version == 2 ? 6 : 10;
    const char* const data = plainTag.constData();
    const qsizetype end = plainTag.size();
    QByteArray body;
    QHash<QByteArray, int> kept;
    qint64 inflatedTotal = 0;
    for (qsizetype at = kHeaderBytes; at + frameHeader <= end && data[at] != 0;) {
        const char* h = data + at;
        qint64 size = version == 2   ? bigEndian(h + 3, 3)
                      : version == 3 ? bigEndian(h + 4, 4)
                                     : synchsafeOrPlain(h + 4);
        if (version == 4 && size > 127) {  // a 2.4 size written as plain 32 bits is taken when it fits
            const qint64 plain = bigEndian(h + 4, 4), next = at + frameHeader;
            const auto frameAt = [&](qint64 n) {
                return next + n + 4 <= end && isFrameId(data + next + n, 4);
            };
            if (!frameAt(size) && frameAt(plain)) size = plain;
        }
        if (size > end - at - frameHeader) break;  // the rest of the tag is damaged
        const QByteArray id(h, idBytes);
        const QByteArrayView payload(h + frameHeader, size);
        at += frameHeader + size;
        if (!isShown(id) || kept.value(id) >= kMaxFramesPerId || size > kMaxId3v2FrameBytes) continue;
        const FrameFlags flags = flagsOf(version, version == 2 ? 0 : quint8(h[9]));
        if (flags.encrypted || flags.skippedBefore > payload.size()) continue;
        QByteArray content = payload.sliced(flags.skippedBefore).toByteArray();
        if (flags.unsynchronised) content = resynchronised(content);
        if (flags.compressed) {
            bool ok = false;
            const qint64 cap = std::min(kMaxId3v2FrameBytes, kMaxInflatedTagBytes - inflatedTotal);
            content = inflated(content, cap, ok);
            inflatedTotal += ok ? content.size() : cap;  // a refused frame costs its whole share
            if (!ok) continue;
        }
        ++kept[id];
        body += id;
        putSize(body, quint32(content.size()), version);
        if (version != 2) body.append(2, '\0');
        body += content;
    }
    QByteArray tag = plainTag.left(kHeaderBytes);
    tag[5] = 0;
    const quint32 size = quint32(body.size());
    for (int i = 0; i < 4; ++i) tag[6 + i] = char((size >> (7 * (3 - i))) & 0x7F);
    return tag + body;
}

}  // namespace vx::tags
