#include "tags/tag_texts.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/hostile_files.h"
#include "support/tag_fixtures.h"
#include "tags/text_rules.h"

using namespace vx::test;
using vx::tags::get_ID3_tag;
using vx::tags::getID3_tag;

namespace {
const QString S = QStringLiteral("          ");

class TagTexts : public ::testing::Test {
  protected:
    QString file(const QString& name, const QByteArray& bytes) { return writeBytes(dir.filePath(name), bytes); }
    QString deckText(const QString& t, const QString& a, const QString& al, const QString& y,
                     const QString& c) {
        return "TITLE:  " + t + S + "ARTIST:  " + a + S + "ALBUM:  " + al + S + "YEAR:  " + y + S +
               "COMMENT:  " + c + S + "Velumix";
    }
    QTemporaryDir dir;
};

std::vector<Id3Frame> fullFrames(TextEncoding e, bool version22 = false) {
    const char* const ids[2][5] = {{"TIT2", "TPE1", "TALB", "TYER", "COMM"}, {"TT2", "TP1", "TAL", "TYE", "COM"}};
    const char* const* id = ids[version22];
    return {{id[0], textContent(e, "Title")}, {id[1], textContent(e, "Artist")}, {id[2], textContent(e, "Album")},
            {id[3], textContent(e, "1999")}, {id[4], commentContent(e, "desc", "Nice")}};
}
}  // namespace

TEST(TextRules, RemoveNullsDropsControlCharactersAndTrimsBlanks) {
    EXPECT_EQ(vx::tags::removeNulls(QString::fromLatin1("\x01 ab\x00" "c\x1f \xE9\x7f\x85 ", 12)),
              QString::fromLatin1("abc \xE9"));
    vx::tags::FileTags id3v1;
    id3v1.id3v1 = vx::tags::TagFields{"Ti\ttle\x1b", " Art\x7fist", "", "", "", ""};
    EXPECT_EQ(vx::tags::tagTextsFrom(id3v1, "/a.mp3").playlist, "Title - Artist");
    EXPECT_EQ(vx::tags::fileNameOf("/x/C:\\m\\z.mp3"), "C:\\m\\z.mp3");  // '/' is the only separator
}

TEST_F(TagTexts, Id3v2EveryVersionAndEncodingDecodes) {
    struct Case {
        int version;
        TextEncoding encoding;
    };
    const Case cases[] = {{2, TextEncoding::Latin1}, {2, TextEncoding::Utf16Bom}, {3, TextEncoding::Latin1},
                          {3, TextEncoding::Utf16Bom}, {4, TextEncoding::Utf8}, {4, TextEncoding::Utf16Be},
                          {4, TextEncoding::Latin1}};
    int n = 0;
    for (const Case& c : cases) {
        Id3v2Options options;
        options.version = c.version;
        const QString path = file(QString("v%1.mp3").arg(n++),
                                  id3v2Tag(fullFrames(c.encoding, c.version == 2), options) + mpegFrames());
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(getID3_tag(path), "Title - Artist");
        EXPECT_EQ(get_ID3_tag(path), deckText("Title", "Artist", "Album", "1999", "Nice"));
    }
}

// Which tag speaks and what each shows: the playlist's "Title - Artist" and the deck's line. "*" stands for
// any text but an empty one (damaged tags that must neither crash nor read past the tag's end).
TEST_F(TagTexts, EachTagFormShowsItsTexts) {
    const auto latin = [](const QString& t) { return textContent(TextEncoding::Latin1, t); };
    const auto options = [](int version, bool unsync, bool extended, int padding) {
        Id3v2Options o;
        o.version = version, o.unsynchronise = unsync, o.extendedHeader = extended, o.padding = padding;
        return o;
    };
    const QByteArray v1 = id3v1Block("Old Title", "Old Artist", "Old Album", "1980", "c");
    QByteArray hugeFrame = id3v2Tag({{"TIT2", latin("T")}});  // a frame claiming 2 GB
    hugeFrame[14] = char(0x7F), hugeFrame[15] = char(0xFF);
    QByteArray longTag = id3v2Tag({{"TIT2", latin("Short")}});  // a tag claiming more than the file
    longTag[6] = char(0x7F);
    QByteArray garbage("ID3\x03\x00\x00\x00\x00\x02\x01", 10);  // frames running past the tag's end
    for (int i = 0; i < 300; ++i) garbage.append(char(i * 37));
    struct Row {
        const char* name;
        QByteArray bytes;
        QString playlist, deck;  // deck empty: not checked
    };
    const Row rows[] = {
        {"year.mp3",
         id3v2Tag({{"TIT2", textContent(TextEncoding::Utf8, "Über")}, {"TDRC", latin("2004-05-06")}},
                  options(4, false, false, 0)) + mpegFrames(),
         "Über", deckText("Über", "", "", "2004", "")},
        // ÿ is 0xFF in Latin-1: followed by 0xE0.. or zero it is unsynchronised on disk.
        {"unsync.mp3",
         id3v2Tag({{"TIT2", latin(QString::fromLatin1("\xFF\xE9t\xFF"))},
                   {"TPE1", textContent(TextEncoding::Utf16Bom, "Ärtist")}},
                  options(3, true, false, 0)) + mpegFrames(),
         QString::fromLatin1("\xFF\xE9t\xFF - \xC4rtist"), {}},
        {"ext3.mp3", id3v2Tag({{"TIT2", latin("Ext")}}, options(3, false, true, 0)) + mpegFrames(), "Ext", {}},
        {"ext4.mp3", id3v2Tag({{"TIT2", latin("Ext")}}, options(4, false, true, 0)) + mpegFrames(), "Ext", {}},
        {"both.mp3", id3v2Tag(fullFrames(TextEncoding::Latin1)) + mpegFrames() + v1, "Title - Artist", {}},
        // An ID3v2 tag with neither title nor artist counts as absent: the ID3v1 block speaks.
        {"album.mp3", id3v2Tag({{"TALB", latin("A")}}) + mpegFrames() + v1, "Old Title - Old Artist",
         deckText("Old Title", "Old Artist", "Old Album", "1980", "c")},
        // Padding only (frame identifier of zero bytes) and no ID3v1 block: the file name.
        {"Empty Tag.mp3", id3v2Tag({}, options(3, false, false, 64)) + mpegFrames(), "Empty Tag.mp3",
         "Empty Tag.mp3"},
        {"c.mp3",
         id3v2Tag({{"TIT2", latin("T")}, {"COMM", commentContent(TextEncoding::Utf16Bom, "", "Great mix")}}) +
             mpegFrames(),
         "T", deckText("T", "", "", "", "Great mix")},
        // ID3v1 fields are cut at a zero byte and trimmed; an empty title and artist give the file name.
        {"b.mp3", mpegFrames() + id3v1Block("Song", "Band", "LP", "2001", "Hi", 17), "Song - Band",
         deckText("Song", "Band", "LP", "2001", "Hi")},
        {"z.mp3", mpegFrames() + id3v1Block("Song", "Band", "LP", "2001", "Hi", 17, true), "Song - Band",
         deckText("Song", "Band", "LP", "2001", "Hi")},
        {"l.mp3", mpegFrames() + id3v1Block("Caf\xE9", ""), QString::fromLatin1("Caf\xE9"), {}},  // no " - "
        {"Nothing Here.mp3", mpegFrames() + id3v1Block("", "", "Album"), "Nothing Here.mp3", {}},
        {"Plain Song.mp3", mpegFrames(), "Plain Song.mp3", {}},
        {"tone.wav", QByteArray("RIFF....WAVEfmt ", 16), "tone.wav", "tone.wav"},
        {"tiny.mp3", "ID", "tiny.mp3", {}},
        {"Short.mp3", QByteArray("ID3\x04", 4), "Short.mp3", {}},
        {"Huge.mp3", hugeFrame + mpegFrames(), "Huge.mp3", {}},
        {"Long.mp3", longTag, "*", {}},
        {"Garbage.mp3", garbage, "*", "*"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString path = file(r.name, r.bytes);
        const QString playlist = getID3_tag(path), deck = get_ID3_tag(path);
        if (r.playlist == "*")
            EXPECT_FALSE(playlist.isEmpty());
        else
            EXPECT_EQ(playlist, r.playlist);
        if (r.deck == "*") {
            EXPECT_FALSE(deck.isEmpty());
        } else if (!r.deck.isEmpty()) {
            EXPECT_EQ(deck, r.deck);
        }
    }
    EXPECT_EQ(getID3_tag(dir.filePath("missing.mp3")), "missing.mp3");
}

// Small files that once cost gigabytes or minutes: each is read at once, within a few MiB, and what can
// be shown still is.
TEST_F(TagTexts, HostileTagsAreReadWithinBounds) {
    const auto text = [](const QString& t) { return textContent(TextEncoding::Latin1, t); };
    const QByteArray bomb = zlibOfZeros(qint64(256) << 20);    // about 250 KB standing for 256 MiB
    const QByteArray album = qCompress(text("Album")).mid(4);  // the plain zlib stream
    std::vector<Id3Frame> many;
    for (int i = 0; i < 40000; ++i) {
        many.push_back({i % 2 ? "COMM" : "TXXX",
                        i % 2 ? commentContent(TextEncoding::Latin1, "", "c") : text(QString::number(i))});
    }
    many.push_back({"TIT2", text("Title")});
    many.push_back({"TPE1", text("Artist")});
    Id3v2Options huge;
    huge.padding = 16 * 1024 * 1024;
    struct Case {
        const char* name;
        QByteArray bytes;
        QString playlist;
        QString inDeck;
    };
    const Case cases[] = {
        {"bomb",
         id3v2Tag({{"TIT2", text("Title")},
                   {"TPE1", compressedContent23(bomb, 256u << 20), 0x80},
                   {"TPE1", text("Artist")},
                   {"TALB", compressedContent23(album, quint32(text("Album").size())), 0x80}}),
         "Title - Artist", "ALBUM:  Album"},
        {"oversized frame", id3v2Tag({{"TIT2", text(QString(1024 * 1024, u'x'))}, {"TIT2", text("Title")}}),
         "Title", "TITLE:  Title"},
        {"many frames", id3v2Tag(many), "Title - Artist", "COMMENT:  c"},
        {"oversized tag", id3v2Tag({{"TIT2", text("Big")}}, huge), "Old - Band", "TITLE:  Old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path =
            file(QString(c.name) + ".mp3", c.bytes + mpegFrames() + id3v1Block("Old", "Band"));
        const vx::tags::TagTexts texts = vx::tags::readTagTexts(path);
        EXPECT_EQ(texts.playlist, c.playlist);
        EXPECT_TRUE(texts.deck.contains(c.inDeck)) << texts.deck.toStdString();
    }
    // Not a regular file: no tags, and never a wait for a writer or an endless read.
    for (const HostileKind& h : hostileKinds()) {
        SCOPED_TRACE(h.name);
        const QString name = QString("Hostile %1.mp3").arg(int(h.kind));
        ASSERT_TRUE(makeHostile(h.kind, dir.filePath(name)));
        EXPECT_EQ(vx::tags::readTagTexts(dir.filePath(name)).playlist, name);
    }
}

TEST_F(TagTexts, WindowsMediaTagsFromTheList) {
    const QString wma = dir.filePath("song.wma");
    if (!makeWmaWithFfmpeg(wma,
                           {"title=Wind", "artist=Maker", "album=Record", "WM/Year=2003", "copyright=C"})) {
        GTEST_SKIP() << "ffmpeg cannot make WMA files here";
    }
    EXPECT_EQ(getID3_tag(wma), "Wind - Maker");
    const QString deck = get_ID3_tag(wma);
    EXPECT_TRUE(deck.startsWith("TITLE:  Wind" + S + "AUTHOR:  Maker")) << deck.toStdString();
    EXPECT_TRUE(deck.contains(S + "ALBUM:  Record")) << deck.toStdString();
    EXPECT_TRUE(deck.contains(S + "YEAR:  2003")) << deck.toStdString();
    EXPECT_TRUE(deck.endsWith(S + "Velumix"));

    const QString bare = dir.filePath("Bare Song.wma");
    ASSERT_TRUE(makeWmaWithFfmpeg(bare, {"comment=only a comment"}));
    EXPECT_EQ(getID3_tag(bare), "Bare Song.wma");
    EXPECT_EQ(get_ID3_tag(bare), "Velumix");
}
