#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/fakes.h"
#include "support/tag_fixtures.h"
#include "tags/id3v1.h"
#include "tags/tag_editor_model.h"
#include "tags/tag_reader.h"
#include "tags/tag_texts.h"

using namespace vx::test;
using vx::tags::TagEditorModel;
using View = TagEditorModel::View;

namespace {

class TagEditor : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    FakeDialogs dialogs;
};
}  // namespace

TEST_F(TagEditor, UntaggedMp3OpensInId3v2AndGuessesInId3v1) {
    const QString path = writeBytes(dir.filePath("Band - 02 - Tune.mp3"), mpegFrames());
    TagEditorModel editor(path, dialogs);
    editor.load();
    EXPECT_EQ(editor.view(), View::Id3v2);
    EXPECT_TRUE(editor.boxes(View::Id3v2).title.isEmpty());
    EXPECT_FALSE(editor.optionEnabled(View::Wma));
    editor.switchView(View::Id3v1);
    EXPECT_EQ(editor.boxes(View::Id3v1).title, "Tune");
    EXPECT_EQ(editor.boxes(View::Id3v1).artist, "Band");
}

TEST_F(TagEditor, WindowsMediaFileIsReadOnly) {
    const QString wma = dir.filePath("w.wma");
    if (!makeWmaWithFfmpeg(wma, {"title=Wind", "artist=Maker", "comment=Words"})) GTEST_SKIP() << "no ffmpeg";
    TagEditorModel editor(wma, dialogs);
    editor.load();
    EXPECT_EQ(editor.view(), View::Wma);
    EXPECT_FALSE(editor.saveEnabled() || editor.copyEnabled());
    EXPECT_FALSE(editor.optionEnabled(View::Id3v1) || editor.optionEnabled(View::Id3v2));
    EXPECT_EQ(editor.boxes(View::Wma).title, "Wind");
    EXPECT_EQ(editor.boxes(View::Wma).comments, "Words");
}

// The block is written over the old one or appended to a file without one; fields are cut to their
// widths, the genre is kept (255 when there was none) and the sound is untouched.
TEST_F(TagEditor, Id3v1SaveCutsFieldsKeepsGenreAndAudio) {
    const QByteArray audio = mpegFrames(3);
    const QString bare = writeBytes(dir.filePath("n.mp3"), audio);
    TagEditorModel fresh(bare, dialogs);
    fresh.switchView(View::Id3v1);
    fresh.boxes(View::Id3v1).title = "Fresh";
    fresh.save();
    EXPECT_EQ(readBytes(bare).left(audio.size()), audio);
    EXPECT_EQ(readBytes(bare).size(), audio.size() + 128);
    EXPECT_EQ(quint8(readBytes(bare).back()), 255);

    const QString path = writeBytes(dir.filePath("s.mp3"), audio + id3v1Block("Old", "Old", {}, {}, {}, 17));
    TagEditorModel editor(path, dialogs);
    editor.load();
    editor.switchView(View::Id3v1);
    editor.boxes(View::Id3v1) = {QString(40, 'T'), QString::fromUtf8("Bjørk"), "Album", "19999", "Note"};
    editor.save();
    EXPECT_TRUE(dialogs.shown.empty());
    const QByteArray after = readBytes(path);
    ASSERT_EQ(after.size(), audio.size() + 128);
    EXPECT_EQ(after.left(audio.size()), audio);
    const auto block = vx::tags::parseId3v1(after.right(128));
    ASSERT_TRUE(block);
    EXPECT_EQ(block->title, QString(30, 'T'));
    EXPECT_EQ(block->artist.trimmed(), QString::fromUtf8("Bjørk"));
    EXPECT_EQ(block->year, "1999");
    EXPECT_EQ(block->genre, 17);
    EXPECT_EQ(vx::tags::getID3_tag(path), QString(30, 'T') + QString::fromUtf8(" - Bjørk"));
}

TEST_F(TagEditor, SaveFailureIsReportedInBothViews) {
    for (const View view : {View::Id3v1, View::Id3v2}) {
        FakeDialogs shown;
        TagEditorModel editor(dir.filePath("gone.mp3"), shown);
        editor.switchView(view);
        editor.save();
        ASSERT_EQ(shown.shown.size(), 1u);
        EXPECT_EQ(shown.shown[0].text,
                  "Cannot Save the information. Please make sure that the file is not read-only.");
    }
}

TEST_F(TagEditor, Id3v2SaveWritesVersion23ThatReadsBack) {
    const QByteArray audio = mpegFrames(3);
    const QString path =
        writeBytes(dir.filePath("t.mp3"), id3v2Tag({{"TIT2", textContent(TextEncoding::Latin1, "Old")},
                                                    {"TCON", textContent(TextEncoding::Latin1, "Rock")}},
                                                   {4}) +
                                              audio);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    TagEditorModel editor(path, dialogs);
    editor.load();
    EXPECT_EQ(editor.boxes(View::Id3v2).title, "Old");
    editor.boxes(View::Id3v2) = {QString::fromUtf8("Café"), QString::fromUtf8("Чайковский"), "Album", "19999",
                                 "Fine"};
    editor.save();
    const QByteArray after = readBytes(path);
    EXPECT_EQ(after.at(3), 3);  // version 2.3
    EXPECT_TRUE(after.endsWith(audio));
    EXPECT_TRUE(after.contains(QByteArray("TIT2") + QByteArray("\0\0\0\x05\0\0\0Caf\xE9", 11)));  // Latin-1
    EXPECT_TRUE(after.contains(QByteArray("TPE1\0\0\0\x17\0\0\x01\xFF\xFE", 13)));                // UTF-16
    EXPECT_EQ(QFileInfo(path).permissions() & 0x7077,
              (QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther) & 0x7077);
    TagEditorModel again(path, dialogs);
    again.load();
    EXPECT_EQ(again.boxes(View::Id3v2).title, QString::fromUtf8("Café"));
    EXPECT_EQ(again.boxes(View::Id3v2).artist, QString::fromUtf8("Чайковский"));
    EXPECT_EQ(again.boxes(View::Id3v2).year, "19999");
    EXPECT_EQ(again.boxes(View::Id3v2).comments, "Fine");
    EXPECT_EQ(vx::tags::readId3v2(path)->genre, "Rock");
    EXPECT_EQ(vx::tags::getID3_tag(path), QString::fromUtf8("Café - Чайковский"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(TagEditor, CopySkipsBlankSources) {
    const QString path = writeBytes(dir.filePath("c.mp3"), mpegFrames());
    TagEditorModel editor(path, dialogs);
    editor.load();
    editor.boxes(View::Id3v2) = {"Keep", "A2", "", "", ""};
    editor.boxes(View::Id3v1) = {"   ", "A1", "Al1", "", ""};
    editor.copy();
    EXPECT_EQ(editor.boxes(View::Id3v2).title, "Keep");
    EXPECT_EQ(editor.boxes(View::Id3v2).artist, "A1");
    EXPECT_EQ(editor.boxes(View::Id3v2).album, "Al1");
    editor.switchView(View::Id3v1);  // the block is guessed from the name "c": title c
    editor.copy();
    EXPECT_EQ(editor.boxes(View::Id3v1).title, "Keep");
    EXPECT_EQ(readBytes(path), mpegFrames());  // copying writes nothing
}
