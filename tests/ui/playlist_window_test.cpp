#include "ui/playlist_window.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <iostream>

#include "playlist/playlist_model.h"
#include "support/fakes.h"
#include "support/tag_fixtures.h"
#include "ui/print_setup.h"
#include "widgets_app.h"

using vx::Dialogs;

namespace {
// The preview and print dialog as a user answers them: "Print to File (PDF)" with `file`, or closed.
struct ScriptedPrint : vx::ui::PrintSetup {
    QString file;
    bool print = true;
    int shown = 0;
    std::unique_ptr<QPrinter> printer() override {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        return printer;
    }
    bool run(QPrinter& printer, const std::function<bool(QPrinter&)>& paint, QWidget*) override {
        ++shown;
        if (print) paint(printer);
        return print;
    }
};

class PlaylistWindowTest : public ::testing::Test {
  protected:
    PlaylistWindowTest() {
        vx::test::widgetsApp();
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
    // Print answers the page question with `answer`; the print dialog is `script`'s.
    void print(Dialogs::Answer answer = Dialogs::Answer::Yes) {
        dialogs.answers.push_back(answer);
        click("cmdPrint");
    }
    ScriptedPrint& scriptPrint(const QString& file) {
        auto print = std::make_unique<ScriptedPrint>();
        ScriptedPrint& script = *print;
        script.file = file;
        window->setPrintSetup(std::move(print));
        return script;
    }

    QTemporaryDir dir;
    vx::test::FakeDialogs dialogs;
    vx::test::MemorySettings settings;
    vx::tags::TagTextCache cache;
    std::unique_ptr<vx::playlist::PlaylistModel> model;
    std::unique_ptr<vx::ui::PlaylistWindow> window;
};

// Standard output of a command-line tool, or nothing when it cannot run.
QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST_F(PlaylistWindowTest, SortRedrawsTheList) {
    fill(3);
    window->show();
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
    EXPECT_TRUE(window->menu()->isVisible());
    window->menu()->hide();
}

TEST_F(PlaylistWindowTest, SearchWindowFindsByLine) {
    fill(4);
    window->show();
    click("findCB");
    auto* search = window->findChild<QWidget*>("searchF");
    ASSERT_NE(search, nullptr);
    search->findChild<QLineEdit*>("searchTXT")->setText("song v");
    QTest::mouseClick(search->findChild<QPushButton*>("findFirstCB"), Qt::LeftButton);
    EXPECT_EQ(model->playlistPosition, 3);
    EXPECT_EQ(window->list()->currentIndex().row(), 3);
    QTest::mouseClick(search->findChild<QPushButton*>("FindNextCB"), Qt::LeftButton);  // wraps at once
    EXPECT_EQ(model->playlistPosition, 3);
    EXPECT_TRUE(dialogs.shown.empty());
    QTest::mouseClick(search->findChild<QPushButton*>("findPrevCB"), Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), QStringList{"Can't find the song"});
    search->close();
}

// 300 songs on the pages the question announced, read back from the PDF by Poppler's tools; the PDF is
// kept in the test's temporary folder for a look.
TEST_F(PlaylistWindowTest, ThreeHundredSongsPrintToAPdfOfTheAnnouncedPages) {
    fill(300);
    ScriptedPrint& script = scriptPrint(QString::fromStdString(::testing::TempDir()) + "velumix-playlist.pdf");
    QFile::remove(script.file);
    print();
    ASSERT_EQ(dialogs.texts(), QStringList{"The printed playlist will be approx. 5 pages long (A4 size). Continue?"});
    EXPECT_EQ(script.shown, 1);
    std::cout << "printed playlist: " << script.file.toStdString() << std::endl;

    const QString info = run("pdfinfo", {script.file});
    ASSERT_FALSE(info.isEmpty()) << "pdfinfo (poppler-utils, scripts/setup-debian.sh) could not read the PDF";
    EXPECT_TRUE(info.contains(QRegularExpression("\\nPages:\\s+5\\n"))) << info.toStdString();
    QStringList lines;
    for (const QString& l : run("pdftotext", {"-layout", script.file, "-"}).split('\n')) {
        if (!l.trimmed().isEmpty()) lines << l.simplified();
    }
    ASSERT_GE(lines.size(), 303);
    EXPECT_TRUE(lines[0].startsWith("VELUMIX DJ PLAYLIST")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("Page 1 of 5"));
    EXPECT_EQ(lines[2], row(0).simplified());
    EXPECT_EQ(lines[lines.size() - 2], row(299).simplified());
    EXPECT_TRUE(lines.last().contains("= END ="));
}

// Every way out but a finished print leaves no file; a print that fails is told, not passed over.
TEST_F(PlaylistWindowTest, AFailedPrintIsToldAndNoCancelOrClosedDialogPrintsNothing) {
    fill(75);
    ScriptedPrint& script = scriptPrint(dir.filePath("no such folder/out.pdf"));
    print();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].icon, Dialogs::Icon::Critical);
    EXPECT_TRUE(dialogs.shown[1].text.contains(script.file)) << dialogs.shown[1].text.toStdString();

    script.file = dir.filePath("out.pdf");
    print(Dialogs::Answer::No);
    QTimer::singleShot(0, [this] {
        auto* progress = window->findChild<QWidget*>("frmPrint");
        ASSERT_NE(progress, nullptr);
        QTest::mouseClick(progress->findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
    });
    print();
    EXPECT_EQ(script.shown, 1);
    script.print = false;
    print();
    EXPECT_EQ(script.shown, 2);
    EXPECT_EQ(dialogs.shown.size(), 5u);
    EXPECT_FALSE(QFile::exists(script.file));
}

// The real dialog: a preview of the job, and a PDF file in the documents (or home) folder when the system
// has no printer.
TEST_F(PlaylistWindowTest, TheDefaultSetupPreviewsTheJobAndFallsBackToAPdf) {
    EXPECT_EQ(vx::ui::proposedPdfFile(dir.path(), "/home/dj"), dir.filePath("Velumix Playlist.pdf"));
    EXPECT_EQ(vx::ui::proposedPdfFile(dir.filePath("gone"), "/home/dj"), "/home/dj/Velumix Playlist.pdf");
    vx::ui::PrintSetup setup;
    const std::unique_ptr<QPrinter> printer = setup.printer();
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_EQ(printer->outputFormat(), QPrinter::PdfFormat);
        EXPECT_TRUE(printer->outputFileName().endsWith("/Velumix Playlist.pdf"));
    }
    bool previewed = false;
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(w); preview && preview->isVisible())
                preview->reject();
        }
    });
    EXPECT_FALSE(setup.run(
        *printer, [&](QPrinter&) { return previewed = true; }, window.get()));
    EXPECT_TRUE(previewed);
}

// A file manager's drop (text/uri-list) on the list adds its music files; other drops are refused.
TEST_F(PlaylistWindowTest, MusicDroppedFromAFileManagerIsAddedAndOtherDropsAreRefused) {
    window->show();
    auto* list = window->findChild<QTreeView*>("List1_1");
    ASSERT_NE(list, nullptr);
    const QString song = vx::test::writeTaggedMp3(dir.filePath("album/a.mp3"), "Dropped", "X");
    QMimeData files, web, text;
    files.setData("text/uri-list", (QUrl::fromLocalFile(song).toEncoded() + "\r\n"));
    EXPECT_TRUE(vx::test::dropOn(list->viewport(), files));
    EXPECT_EQ(row(0), "1.  Dropped - X");
    web.setUrls({QUrl("https://example.org/b.mp3")});
    text.setText("c.mp3");
    EXPECT_FALSE(vx::test::dropOn(list->viewport(), web));
    EXPECT_FALSE(vx::test::dropOn(list->viewport(), text));
    EXPECT_EQ(window->list()->model()->rowCount(), 1);
    EXPECT_TRUE(dialogs.shown.empty());
}
