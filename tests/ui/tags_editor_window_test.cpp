#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "support/fakes.h"
#include "support/tag_fixtures.h"
#include "tags/id3v1.h"
#include "ui/edit_tags_window.h"
#include "widgets_app.h"

TEST(EditTagsWindow, OpensInId3v2SwitchesAndSavesId3v1) {
    vx::test::widgetsApp();
    QTemporaryDir dir;
    const QString path = vx::test::writeTaggedMp3(dir.filePath("a.mp3"), "Title", "Artist");
    vx::test::FakeDialogs dialogs;
    vx::ui::EditTagsWindow window(path, dialogs, nullptr);
    window.show();
    EXPECT_EQ(window.findChild<QLineEdit*>("txtSong_1")->text(), "Title");
    EXPECT_TRUE(window.findChild<QGroupBox*>("frameTagInfo_1")->isVisible());
    EXPECT_FALSE(window.findChild<QRadioButton*>("ID3ver_2")->isEnabled());
    auto* copy = window.findChild<QPushButton*>("cmdCopyTags");
    EXPECT_EQ(copy->text(), "Copy ID3v1");

    QTest::mouseClick(window.findChild<QRadioButton*>("ID3ver_0"), Qt::LeftButton);
    EXPECT_TRUE(window.findChild<QGroupBox*>("frameTagInfo_0")->isVisible());
    EXPECT_FALSE(window.findChild<QGroupBox*>("frameTagInfo_1")->isVisible());
    EXPECT_EQ(copy->text(), "Copy ID3v2");
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_EQ(window.findChild<QLineEdit*>("txtSong_0")->text(), "Title");
    window.findChild<QLineEdit*>("txtYear_0")->setText("19999");
    QTest::mouseClick(window.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    const auto block = vx::tags::readId3v1(path);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->title.trimmed(), "Title");
    EXPECT_EQ(block->artist.trimmed(), "Artist");
    EXPECT_EQ(block->year, "1999");
}
