#include "ui/print_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "playlist/print_layout.h"
#include "services/dialogs.h"

namespace vx::ui {

namespace {
// Lines a page holds: the head block, 70 entries, the empty line and the closing line.
constexpr int kLinesOnPage = 9 + playlist::kPrintLinesPerPage + 2;

// Collects the pages, so that a cancelled job prints nothing and a finished one can be shown in the
// preview and printed from there.
class PageCollector : public playlist::PageSink {
  public:
    void newPage() override { pages.emplace_back(); }
    void line(const QString& text) override { pages.back() << text; }
    void discard() override { pages.clear(); }
    void finish() override {}
    std::vector<QStringList> pages{QStringList()};
};

// Draws the pages in the printer's default font, shrunk only as far as the longest line needs to fit
// the page's width. False when the printer cannot be opened (no such printer, an unwritable file).
bool paintPages(const std::vector<QStringList>& pages, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    QFont font = painter.font();
    font.setPixelSize(std::max(1, int(area.height() / kLinesOnPage * 0.8)));
    int widest = 1;
    for (const QStringList& page : pages) {
        for (const QString& text : page)
            widest = std::max(widest, QFontMetrics(font).horizontalAdvance(text));
    }
    if (widest > area.width()) font.setPixelSize(std::max(1, int(font.pixelSize() * area.width() / widest)));
    painter.setFont(font);
    const qreal step = area.height() / kLinesOnPage;
    for (size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !printer.newPage()) return false;
        for (qsizetype i = 0; i < pages[p].size(); ++i) {
            painter.drawText(QPointF(0, step * qreal(i + 1)), pages[p].at(i));
        }
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

QString whereTo(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
}

struct BusyPointer {
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};
}  // namespace

PrintWindow::PrintWindow(int pages, QWidget* owner) : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Printing..."));
    setAttribute(Qt::WA_DeleteOnClose);
    label_ = new QLabel(playlist::printingLabel(pages), this);
    label_->setObjectName(QStringLiteral("lblPrinting"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    connect(cancel_, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(cancel_, 0, Qt::AlignCenter);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

bool printPlaylistLines(const QStringList& lines, PrintSetup& setup, Dialogs& dialogs, QWidget* owner) {
    PageCollector job;
    {
        BusyPointer busy;
        if (!playlist::confirmPrint(dialogs, int(lines.size()))) return false;
        QPointer<PrintWindow> progress = new PrintWindow(playlist::printPageCount(int(lines.size())), owner);
        progress->show();
        const bool composed =
            playlist::printPlaylist(lines, playlist::printDateText(QDate::currentDate()), job, [&progress] {
                QCoreApplication::processEvents();
                return !progress.isNull() && progress->isVisible();
            });
        if (!progress.isNull()) progress->close();
        if (!composed) return false;
    }
    const std::unique_ptr<QPrinter> printer = setup.printer();
    bool painted = false;
    const auto paint = [&job, &painted](QPrinter& target) { return painted = paintPages(job.pages, target); };
    if (!setup.run(*printer, paint, owner)) return false;
    if (painted) return true;
    dialogs.message(
        QStringLiteral("The playlist could not be printed to \"") + whereTo(*printer) +
            QStringLiteral("\". Check that the printer is ready or that the folder can be written to."),
        QStringLiteral("Print DJ Playlist..."), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    return false;
}

}  // namespace vx::ui
