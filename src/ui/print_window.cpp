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

// Collects the pages and paints them only when the job is finished, so a cancelled job prints nothing.
class PrinterSink : public playlist::PageSink {
  public:
    explicit PrinterSink(QPrinter& printer) : printer_(printer) {}
    void newPage() override { pages_.emplace_back(); }
    void line(const QString& text) override { pages_.back() << text; }
    void discard() override { pages_.clear(); }
    void finish() override {
        QPainter painter;
        if (!painter.begin(&printer_)) return;  // printer failures are passed over
        const QRectF area = printer_.pageLayout().paintRectPixels(printer_.resolution());
        QFont font = painter.font();
        font.setPixelSize(std::max(1, int(area.height() / kLinesOnPage * 0.8)));
        int widest = 1;
        for (const QStringList& page : pages_) {
            for (const QString& text : page)
                widest = std::max(widest, QFontMetrics(font).horizontalAdvance(text));
        }
        if (widest > area.width())
            font.setPixelSize(std::max(1, int(font.pixelSize() * area.width() / widest)));
        painter.setFont(font);
        const qreal step = area.height() / kLinesOnPage;
        for (size_t p = 0; p < pages_.size(); ++p) {
            if (p > 0) printer_.newPage();
            for (qsizetype i = 0; i < pages_[p].size(); ++i) {
                painter.drawText(QPointF(0, step * qreal(i + 1)), pages_[p].at(i));
            }
        }
        painter.end();
    }

  private:
    QPrinter& printer_;
    std::vector<QStringList> pages_{QStringList()};
};

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

bool printPlaylistLines(const QStringList& lines, QPrinter& printer, Dialogs& dialogs, QWidget* owner) {
    BusyPointer busy;
    if (!playlist::confirmPrint(dialogs, int(lines.size()))) return false;
    QPointer<PrintWindow> progress = new PrintWindow(playlist::printPageCount(int(lines.size())), owner);
    progress->show();
    PrinterSink sink(printer);
    const bool printed =
        playlist::printPlaylist(lines, playlist::printDateText(QDate::currentDate()), sink, [&progress] {
            QCoreApplication::processEvents();
            return !progress.isNull() && progress->isVisible();
        });
    if (!progress.isNull()) progress->close();
    return printed;
}

}  // namespace vx::ui
