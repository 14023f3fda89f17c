#include "tags/asf_header.h"

namespace vx::tags {

namespace {
constexpr qsizetype kGuidSize = 16;
constexpr qsizetype kObjectHeaderSize = kGuidSize + 8;  // GUID and 64-bit size
constexpr qsizetype kHeaderFieldsSize = kObjectHeaderSize + 4 + 2;  // object count and two reserved bytes

const QByteArray kHeaderGuid = QByteArray::fromHex("3026b2758e66cf11a6d900aa0062ce6c");
const QByteArray kContentDescriptionGuid = QByteArray::fromHex("3326b2758e66cf11a6d900aa0062ce6c");
const QByteArray kExtendedContentGuid = QByteArray::fromHex("40a4d0d207e3d21197f000a0c95ea850");
const QByteArray kHeaderExtensionGuid = QByteArray::fromHex("b503bf5f2ea9cf118ee300c00c205365");
const QByteArray kMetadataGuid = QByteArray::fromHex("eacbf8c5af5b77488467aa8c44fa4cca");
const QByteArray kMetadataLibraryGuid = QByteArray::fromHex("941c23449894d149a1411d134e457054");
const QByteArray kCodecListGuid = QByteArray::fromHex("4052d1861d31d011a3a400a0c90348f6");

// Little-endian fields read in order from a span of bytes; any read past its end fails the reader.
class Fields {
  public:
    Fields(const QByteArray& bytes, qsizetype begin, qsizetype end) : bytes_(bytes), at_(begin), end_(end) {}

    bool ok() const { return ok_; }
    quint64 number(int width) {
        if (!has(width)) return 0;
        quint64 value = 0;
        for (int i = width - 1; i >= 0; --i) value = value << 8 | quint8(bytes_.at(at_ + i));
        at_ += width;
        return value;
    }
    void skip(quint64 n) {
        if (has(n)) at_ += qsizetype(n);
    }

  private:
    bool has(quint64 n) {
        ok_ = ok_ && n <= quint64(end_ - at_);
        return ok_;
    }
    const QByteArray& bytes_;
    qsizetype at_;
    qsizetype end_;
    bool ok_ = true;
};

// Walks a list whose count comes first: `countWidth` bytes, then each record through `record`.
template <typename Record>
bool recordsFit(Fields& f, int countWidth, Record record) {
    for (quint64 n = f.number(countWidth); f.ok() && n > 0; --n) record(f);
    return f.ok();
}

bool objectsFit(const QByteArray& bytes, qsizetype begin, qsizetype end, quint64* count = nullptr);

bool objectFits(const QByteArray& bytes, const QByteArray& guid, qsizetype begin, qsizetype end) {
    Fields f(bytes, begin, end);
    if (guid == kContentDescriptionGuid) {
        quint64 texts = 0;
        for (int i = 0; i < 5; ++i) texts += f.number(2);
        f.skip(texts);
        return f.ok();
    }
    if (guid == kExtendedContentGuid) {
        return recordsFit(f, 2, [](Fields& r) {
            r.skip(r.number(2));  // name
            r.number(2);          // value type
            r.skip(r.number(2));  // value
        });
    }
    if (guid == kMetadataGuid || guid == kMetadataLibraryGuid) {
        return recordsFit(f, 2, [](Fields& r) {
            r.number(2);  // language or reserved
            r.number(2);  // stream
            const quint64 name = r.number(2);
            r.number(2);  // value type
            const quint64 value = r.number(4);
            r.skip(name);
            r.skip(value);
        });
    }
    if (guid == kCodecListGuid) {
        f.skip(kGuidSize);
        return recordsFit(f, 4, [](Fields& r) {
            r.number(2);              // codec type
            r.skip(2 * r.number(2));  // name, in UTF-16 characters
            r.skip(2 * r.number(2));  // description, likewise
            r.skip(r.number(2));      // codec information, in bytes
        });
    }
    if (guid == kHeaderExtensionGuid) {
        f.skip(kGuidSize + 2);
        const quint64 size = f.number(4);
        return f.ok() && size <= quint64(end - begin - (kGuidSize + 6)) &&
               objectsFit(bytes, begin + kGuidSize + 6, begin + kGuidSize + 6 + qsizetype(size));
    }
    return true;  // objects without tags are skipped whole by their size
}

// Every object from begin to end: a size no smaller than its own fields and no larger than the space
// left, and a sound payload. Fewer bytes than an object header at the end are slack, not an object.
bool objectsFit(const QByteArray& bytes, qsizetype begin, qsizetype end, quint64* count) {
    qsizetype at = begin;
    quint64 objects = 0;
    while (end - at >= kObjectHeaderSize) {
        Fields f(bytes, at + kGuidSize, end);
        const quint64 size = f.number(8);
        if (size < quint64(kObjectHeaderSize) || size > quint64(end - at)) return false;
        if (!objectFits(bytes, bytes.mid(at, kGuidSize), at + kObjectHeaderSize, at + qsizetype(size))) {
            return false;
        }
        at += qsizetype(size);
        ++objects;
    }
    if (count != nullptr) *count = objects;
    return true;
}
}  // namespace

quint64 asfHeaderSize(const QByteArray& start) {
    if (start.size() < kHeaderFieldsSize || !start.startsWith(kHeaderGuid)) return 0;
    Fields f(start, kGuidSize, start.size());
    return f.number(8);
}

std::optional<QByteArray> checkedAsfHeader(QByteArray header) {
    if (header.size() < kHeaderFieldsSize || asfHeaderSize(header) != quint64(header.size())) {
        return std::nullopt;
    }
    quint64 objects = 0;
    if (!objectsFit(header, kHeaderFieldsSize, header.size(), &objects) || objects > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    for (int i = 0; i < 4; ++i) header[kObjectHeaderSize + i] = char((objects >> (8 * i)) & 0xFF);
    return header;
}

}  // namespace vx::tags
