#include "ui/print_setup.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace vx::ui {

QString proposedPdfFile(const QString& documents, const QString& home) {
    const QString folder = !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : home;
    return QDir(folder).filePath(QStringLiteral("Velumix Playlist.pdf"));
}

std::unique_ptr<QPrinter> PrintSetup::printer() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(proposedPdfFile(
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath()));
    }
    return printer;
}

bool PrintSetup::run(QPrinter& printer, const std::function<bool(QPrinter&)>& paint, QWidget* owner) {
    QPrintPreviewDialog preview(&printer, owner);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.setWindowTitle(QStringLiteral("Print DJ Playlist..."));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter* target) { paint(*target); });
    return preview.exec() == QDialog::Accepted;
}

}  // namespace vx::ui
