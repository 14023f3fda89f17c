// A damaged Windows Media header must cost its tags, never seconds of parsing: the checked header is all
// the tag parser sees.
#include "tags/asf_header.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>

#include "support/tag_fixtures.h"
#include "tags/tag_reader.h"

namespace {

// The byte offset of the first object with this GUID (hex, as stored) in a file's header.
qsizetype objectAt(const QByteArray& file, const char* guidHex) {
    return file.indexOf(QByteArray::fromHex(guidHex));
}

constexpr const char* kExtendedContent = "40a4d0d207e3d21197f000a0c95ea850";

TEST(AsfHeader, DamagedHeadersCostTheTagsNotTheParse) {
    QTemporaryDir dir;
    const QString wma = dir.filePath("song.wma");
    if (!vx::test::makeWmaWithFfmpeg(wma, {"title=Wind", "artist=Maker", "album=Air"})) {
        GTEST_SKIP() << "ffmpeg cannot make WMA files here";
    }
    QFile in(wma);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray made = in.readAll();
    const qsizetype extended = objectAt(made, kExtendedContent);
    ASSERT_GT(extended, 0);

    struct Row {
        const char* what;
        std::function<void(QByteArray&)> damage;
        bool tagsRead;
    };
    const std::vector<Row> rows = {
        {"as made", [](QByteArray&) {}, true},
        {"more objects declared than present",
         [](QByteArray& b) { qToLittleEndian<quint32>(1000, b.data() + 24); }, true},
        {"a record count far past the object",
         [&](QByteArray& b) { qToLittleEndian<quint16>(0xFFFF, b.data() + extended + 24); }, false},
        {"an object of size zero", [&](QByteArray& b) { qToLittleEndian<quint64>(0, b.data() + extended + 16); },
         false},
        {"an object running past the header",
         [&](QByteArray& b) { qToLittleEndian<quint64>(1u << 20, b.data() + extended + 16); }, false},
        {"a header larger than the file",
         [](QByteArray& b) { qToLittleEndian<quint64>(quint64(b.size()) + 1, b.data() + 16); }, false},
        {"cut inside the header", [&](QByteArray& b) { b.truncate(extended + 30); }, false},
    };
    for (const Row& row : rows) {
        QByteArray bytes = made;
        row.damage(bytes);
        const auto wmaTags = vx::tags::readFileTags(vx::test::writeBytes(dir.filePath("damaged.wma"), bytes)).wma;
        EXPECT_EQ(wmaTags.has_value() && !wmaTags->empty(), row.tagsRead) << row.what;
        if (row.tagsRead && wmaTags) {
            EXPECT_EQ(wmaTags->front().value, "Wind") << row.what;
        }
    }
}

}  // namespace
