#include "tags/tag_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tfile.h>
#include <unistd.h>

#include <QFile>
#include <QPair>
#include <QSet>

#include "tags/asf_header.h"
#include "tags/id3v1.h"
#include "tags/id3v2_frames.h"
#include "tags/text_rules.h"

namespace vx::tags {

namespace {
const QByteArray kAsfHeader = QByteArray::fromHex("3026b2758e66cf11a6d900aa0062ce6c");

QString fromTagLib(const TagLib::String& s) {
    return QString::fromStdWString(s.toWString());
}

// A regular file opened for reading with plain system calls: tags of thousands of files are read in a
// row, and a FIFO or a folder must never block or confuse the reader.
class RawFile {
  public:
    explicit RawFile(const QByteArray& fileName)
        : fd_(::open(fileName.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {
        struct stat st {};
        if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
            size_ = st.st_size;
        } else if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~RawFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    qint64 size() const { return size_; }
    // Up to n bytes at offset, never beyond the end of the file.
    QByteArray read(qint64 offset, qint64 n) const {
        n = std::clamp<qint64>(n, 0, std::max<qint64>(0, size_ - offset));
        QByteArray bytes(n, Qt::Uninitialized);
        qint64 got = 0;
        while (got < n) {
            const ssize_t r = ::pread(fd_, bytes.data() + got, size_t(n - got), off_t(offset + got));
            if (r <= 0) break;
            got += r;
        }
        bytes.truncate(got);
        return bytes;
    }

  private:
    int fd_ = -1;
    qint64 size_ = 0;
};

// TagLib parses an ID3v2 tag from any of its files; this one is just the tag's bytes in memory.
class TagBytesFile : public TagLib::File {
  public:
    explicit TagBytesFile(TagLib::IOStream* stream) : TagLib::File(stream) {}
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

QByteArray startOf(const QString& path) {
    const RawFile file(QFile::encodeName(path));
    return file.isOpen() ? file.read(0, 16) : QByteArray();
}

QString firstFrameText(TagLib::ID3v2::Tag& tag, const char* id) {
    const TagLib::ID3v2::FrameList& frames = tag.frameListMap()[id];
    return frames.isEmpty() ? QString() : fromTagLib(frames.front()->toString());
}

quint32 synchsafe(const QByteArray& b, int at) {
    return quint32(b.at(at) & 0x7F) << 21 | quint32(b.at(at + 1) & 0x7F) << 14 |
           quint32(b.at(at + 2) & 0x7F) << 7 | quint32(b.at(at + 3) & 0x7F);
}

quint32 bigEndian32(const QByteArray& b, int at) {
    return quint32(quint8(b.at(at))) << 24 | quint32(quint8(b.at(at + 1))) << 16 |
           quint32(quint8(b.at(at + 2))) << 8 | quint32(quint8(b.at(at + 3)));
}

// The ID3v2 tag at the start of an open file, read whole but never beyond the file, with the tag-wide
// unsynchronisation of version 2.3 undone and any extended header dropped, so the frame parser sees a
// plain tag. Empty when the file has no tag or one too large to be read.
QByteArray plainId3v2Tag(const RawFile& file) {
    QByteArray header = file.read(0, 10);
    if (header.size() < 10 || !header.startsWith("ID3") || header.at(3) < 2 || header.at(3) > 4) return {};
    const int version = header.at(3);
    const quint32 declared = synchsafe(header, 6);
    if (declared > kMaxId3v2TagBytes) return {};
    QByteArray body = file.read(10, declared);
    quint8 flags = quint8(header.at(5));
    if ((flags & 0x80) && version <= 3) {
        body = resynchronised(body);  // version 2.3 unsynchronises the whole tag
        flags &= ~0x80;
    }
    if ((flags & 0x40) && version >= 3 && body.size() >= 4) {
        // 2.3 counts the extended header without its size field; 2.4 counts it whole.
        const qint64 extended = version == 3 ? qint64(bigEndian32(body, 0)) + 4 : qint64(synchsafe(body, 0));
        body.remove(0, std::min<qint64>(extended, body.size()));
        flags &= ~0x40;
    }
    flags &= ~0x10;  // a footer lies outside the declared size: it was not read
    const quint32 size = quint32(body.size());
    header[5] = char(flags);
    for (int i = 0; i < 4; ++i) header[6 + i] = char((size >> (7 * (3 - i))) & 0x7F);
    return header + body;
}

std::optional<TagFields> id3v2From(const RawFile& file) {
    const QByteArray plain = plainId3v2Tag(file);
    if (plain.isEmpty()) return std::nullopt;
    const QByteArray bytes = shownFramesOf(plain);
    TagLib::ByteVectorStream stream(TagLib::ByteVector(bytes.constData(), unsigned(bytes.size())));
    TagBytesFile tagBytes(&stream);
    TagLib::ID3v2::Tag tag(&tagBytes, 0);
    TagFields fields;
    fields.title = fromTagLib(tag.title());
    fields.artist = fromTagLib(tag.artist());
    fields.album = fromTagLib(tag.album());
    // Version 2.3's TYER and 2.2's TYE arrive as TDRC, a time stamp that begins with the year.
    // TagLib hands 2.3's TYER and 2.2's TYE over as TDRC: those are shown whole, a 2.4 time stamp by its
    // year.
    const QString recorded = firstFrameText(tag, "TDRC");
    fields.year = tag.header()->majorVersion() >= 4 ? recorded.left(4) : recorded;
    if (fields.year.isEmpty()) fields.year = firstFrameText(tag, "TYER");  // found in some version 2.4 tags
    fields.comment = fromTagLib(tag.comment());
    fields.genre = fromTagLib(tag.genre());
    return fields;
}

QString attributeText(const TagLib::ASF::Attribute& a) {
    switch (a.type()) {
        case TagLib::ASF::Attribute::UnicodeType:
            return fromTagLib(a.toString());
        case TagLib::ASF::Attribute::DWordType:
            return QString::number(a.toUInt());
        case TagLib::ASF::Attribute::QWordType:
            return QString::number(a.toULongLong());
        case TagLib::ASF::Attribute::WordType:
            return QString::number(a.toUShort());
        case TagLib::ASF::Attribute::BoolType:
            return a.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        default:
            return {};
    }
}

// The tags of a Windows Media file, parsed from its header object alone once that has been checked.
std::optional<std::vector<WmaEntry>> wmaFrom(const RawFile& raw) {
    const quint64 size = asfHeaderSize(raw.read(0, 30));
    if (size > quint64(std::min(raw.size(), kMaxId3v2TagBytes))) return std::nullopt;
    const std::optional<QByteArray> header = checkedAsfHeader(raw.read(0, qint64(size)));
    if (!header) return std::nullopt;
    TagLib::ByteVectorStream stream(TagLib::ByteVector(header->constData(), unsigned(header->size())));
    TagLib::ASF::File file(&stream, false);
    if (!file.isValid() || file.tag() == nullptr) return std::nullopt;
    const TagLib::ASF::Tag& tag = *file.tag();
    std::vector<WmaEntry> list;
    // Some writers repeat the description fields as attributes: each key and value is listed once.
    QSet<QPair<QString, QString>> listed;
    const auto add = [&list, &listed](const QString& key, const QString& value) {
        if (!value.isEmpty() && !listed.contains({key.toCaseFolded(), value})) {
            list.push_back({key, value});
            listed.insert({key.toCaseFolded(), value});
        }
    };
    add(QStringLiteral("Title"), fromTagLib(tag.title()));
    add(QStringLiteral("Author"), fromTagLib(tag.artist()));
    add(QStringLiteral("Copyright"), fromTagLib(tag.copyright()));
    add(QStringLiteral("Description"), fromTagLib(tag.comment()));
    for (const auto& [key, attributes] : tag.attributeListMap()) {
        for (const TagLib::ASF::Attribute& a : attributes) add(fromTagLib(key), attributeText(a));
    }
    return list;
}
}  // namespace

bool hasTitleOrArtist(const TagFields& fields) {
    return !removeNulls(fields.title).isEmpty() || !removeNulls(fields.artist).isEmpty();
}

bool isWindowsMediaFile(const QString& path) {
    return startOf(path).startsWith(kAsfHeader);
}

std::optional<TagFields> readId3v2(const QString& path) {
    const RawFile file(QFile::encodeName(path));
    return file.isOpen() ? id3v2From(file) : std::nullopt;
}

// One open per file: the start tells the container, the ID3v1 block is read only when needed.
FileTags readFileTags(const QString& path) {
    return readFileTagsAt(QFile::encodeName(path));
}

FileTags readFileTagsAt(const QByteArray& fileName) {
    FileTags tags;
    const RawFile file(fileName);
    if (!file.isOpen()) return tags;
    const QByteArray start = file.read(0, 16);
    if (start.startsWith(kAsfHeader)) {
        tags.wma = wmaFrom(file);
        return tags;
    }
    if (start.startsWith("ID3")) tags.id3v2 = id3v2From(file);
    if (tags.id3v2 && hasTitleOrArtist(*tags.id3v2)) return tags;
    if (file.size() >= kId3v1Size) {
        if (const auto block = parseId3v1(file.read(file.size() - kId3v1Size, kId3v1Size))) {
            tags.id3v1 =
                TagFields{block->title, block->artist, block->album, block->year, block->comment, {}};
        }
    }
    return tags;
}

}  // namespace vx::tags
