#include "ui/playlist_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "playlist/playlist_model.h"
#include "support/fake_dialogs.h"
#include "support/memory_settings.h"
#include "support/tag_fixtures.h"

using vx::Dialogs;

namespace {
void ensureApp() {
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

class PlaylistWindowTest : public ::testing::Test {
  protected:
    PlaylistWindowTest() {
        ensureApp();
        model = std::make_unique<vx::playlist::PlaylistModel>(dialogs, settings, cache);
        window = std::make_unique<vx::ui::PlaylistWindow>(*model, dialogs);
    }
    void fill(int n) {
        QStringList paths;
        for (int i = 0; i < n; ++i) {
            const QString t = QString("Song %1").arg(QChar('a' + (7 * i) % 26));
            paths << vx::test::writeTaggedMp3(dir.filePath(QString("%1.mp3").arg(i)), t, "X");
        }
        model->loadsongs_to_playlist(paths);
    }
    void click(const char* name) {
        auto* b = window->findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QString row(int i) const { return window->list()->model()->index(i, 0).data().toString(); }

    QTemporaryDir dir;
    vx::test::FakeDialogs dialogs;
    vx::test::MemorySettings settings;
    vx::tags::TagTextCache cache;
    std::unique_ptr<vx::playlist::PlaylistModel> model;
    std::unique_ptr<vx::ui::PlaylistWindow> window;
};

int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return int(QString::fromLatin1(f.readAll()).count(QRegularExpression("/Type\\s*/Page[^s]")));
}
}  // namespace

TEST_F(PlaylistWindowTest, ButtonsCarryTheirHintsAndSortRedrawsTheList) {
    fill(3);
    window->show();
    EXPECT_EQ(window->findChild<QPushButton*>("cmdAZsort")->toolTip(), "Sort Ascending...");
    EXPECT_EQ(window->findChild<QPushButton*>("cmdZAsort")->toolTip(), "Sort Descending ...");
    EXPECT_EQ(window->findChild<QPushButton*>("cmdID3")->toolTip(), "Edit Song information (ID3)...");
    EXPECT_EQ(window->list()->model()->rowCount(), 3);
    click("cmdZAsort");
    EXPECT_EQ(row(0), "1.  Song o - X");
    EXPECT_EQ(row(2), "3.  Song a - X");
    EXPECT_EQ(window->list()->currentIndex().row(), 0);
}

TEST_F(PlaylistWindowTest, RemoveByButtonAndDeleteKeyAskFirst) {
    fill(3);
    window->show();
    QTest::mouseClick(window->list()->viewport(), Qt::LeftButton, {},
                      window->list()->visualRect(window->list()->model()->index(1, 0)).center());
    EXPECT_EQ(model->playlistPosition, 1);
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    click("removeCB");
    EXPECT_EQ(dialogs.shown.back().text, "Remove \"Song h - X\" from the playlist?");
    EXPECT_EQ(window->list()->model()->rowCount(), 2);
    dialogs.answers.push_back(Dialogs::Answer::No);
    QTest::keyClick(window->list(), Qt::Key_Delete);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(window->list()->model()->rowCount(), 2);
}

TEST_F(PlaylistWindowTest, CloseAsksToSaveEscapeHidesAtOnce) {
    fill(1);
    window->show();
    dialogs.answers.push_back(Dialogs::Answer::Cancel);
    click("cmdcloseButton");
    EXPECT_EQ(dialogs.shown.back().text, "Save Playlist? ");
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window->list(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(PlaylistWindowTest, RightClickBelowTheLastRowPicksItAndShowsTheMenu) {
    fill(2);
    window->show();
    QTest::mouseClick(window->list()->viewport(), Qt::RightButton, {},
                      QPoint(10, window->list()->viewport()->height() - 3));
    EXPECT_EQ(model->playlistPosition, 1);
    QStringList entries;
    for (QAction* a : window->menu()->actions()) entries << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(entries, (QStringList{"Edit Song Information", "-", "Sort Ascending", "Sort Descending", "-",
                                    "Random Shuffle", "-", "Remove from Playlist"}));
    window->menu()->hide();
}

TEST_F(PlaylistWindowTest, SearchWindowFindsByLine) {
    fill(4);
    window->show();
    click("findCB");
    auto* search = window->findChild<QWidget*>("searchF");
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->windowTitle(), "Velumix - Find Music...");
    search->findChild<QLineEdit*>("searchTXT")->setText("song v");
    QTest::mouseClick(search->findChild<QPushButton*>("findFirstCB"), Qt::LeftButton);
    EXPECT_EQ(model->playlistPosition, 3);
    EXPECT_EQ(window->list()->currentIndex().row(), 3);
    QTest::mouseClick(search->findChild<QPushButton*>("FindNextCB"), Qt::LeftButton);  // wraps at once
    EXPECT_EQ(model->playlistPosition, 3);
    EXPECT_TRUE(dialogs.shown.empty());
    QTest::mouseClick(search->findChild<QPushButton*>("findPrevCB"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown.back().text, "Can't find the song");
    search->close();
}

TEST_F(PlaylistWindowTest, PrintsToPdfOnTwoPagesAndCancelPrintsNothing) {
    fill(75);
    const QString pdf = dir.filePath("out.pdf");
    window->setPrinterFactory([pdf] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return printer;
    });
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    click("cmdPrint");
    EXPECT_EQ(dialogs.shown.back().text,
              "The printed playlist will be approx. 2 pages long (A4 size). Continue?");
    EXPECT_EQ(pdfPages(pdf), 2);

    QFile::remove(pdf);
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    QTimer::singleShot(0, [this] {
        auto* progress = window->findChild<QWidget*>("frmPrint");
        ASSERT_NE(progress, nullptr);
        QTest::mouseClick(progress->findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
    });
    click("cmdPrint");
    EXPECT_FALSE(QFile::exists(pdf));
    dialogs.answers.push_back(Dialogs::Answer::No);
    click("cmdPrint");
    EXPECT_FALSE(QFile::exists(pdf));
}
