#include <QDir>
#include <QRandomGenerator>

#include "library/content_fingerprint.h"
#include "library_fixture.h"

using vx::contentFingerprint;
using vx::test::LibraryFixture;

namespace {
QByteArray id3v2(int bodyBytes) {
    QByteArray tag("ID3\x03\x00\x00", 6);
    for (int shift : {21, 14, 7, 0}) tag.append(char((bodyBytes >> shift) & 0x7F));
    return tag + QByteArray("TIT2") + QByteArray(bodyBytes - 4, 'T');
}

QByteArray id3v1() {
    return QByteArray("TAG") + QByteArray(125, 'v');
}

QByteArray apeTag() {
    QByteArray footer("APETAGEX");
    const char fields[] = {char(0xD0), 0x07, 0, 0, 64, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};  // version, size 64, 1 item
    footer.append(fields, sizeof fields);
    footer.append(QByteArray(8, '\0'));
    return QByteArray(32, 'i') + footer;
}

QByteArray noise(int bytes, quint32 seed) {
    QByteArray b(bytes, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char& c : b) c = char(random.generate());
    return b;
}
}  // namespace

// The same music under a new name, folder or tag keeps its fingerprint; any change to the music gives a
// new one, wherever in the file it falls.
TEST_F(LibraryFixture, FingerprintFollowsTheMusicNotTheNameOrTags) {
    const QByteArray audio = noise(700 * 1024, 1), shortAudio = noise(100 * 1024, 2);
    const auto changed = [](QByteArray b, qsizetype at) {
        b[at] = char(b[at] ^ 1);
        return b;
    };
    const struct {
        const char* name;
        QByteArray original, variant;
        bool same;
    } rows[] = {
        {"renamed and moved", id3v2(500) + audio + id3v1(), id3v2(500) + audio + id3v1(), true},
        {"tag grown", id3v2(500) + audio + id3v1(), id3v2(9000) + audio + id3v1(), true},
        {"ID3v1 dropped, APE added", audio + id3v1(), audio + apeTag(), true},
        {"byte in the middle", audio, changed(audio, audio.size() / 2), false},
        {"byte at the end", id3v2(500) + audio, id3v2(500) + changed(audio, audio.size() - 1), false},
        {"one byte longer", audio + id3v1(), audio + "x" + id3v1(), false},
        {"short file, any byte", shortAudio, changed(shortAudio, 70 * 1024), false},
    };
    QDir().mkpath(dir.filePath("moved"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString first = dir.filePath("song.mp3"), second = dir.filePath("moved/other name.mp3");
        writeBytes(first, row.original);
        const QString before = contentFingerprint(first);
        writeBytes(second, row.variant);
        QFile::remove(first);
        EXPECT_EQ(before.size(), 40);
        EXPECT_EQ(before == contentFingerprint(second), row.same);
    }
    EXPECT_TRUE(contentFingerprint(dir.filePath("missing.mp3")).isEmpty());
    EXPECT_TRUE(contentFingerprint(dir.path()).isEmpty());
}
