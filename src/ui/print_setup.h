#pragma once

#include <QString>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace vx::ui {

// Where a print job goes and how the user gets to choose: Qt's print dialog behind a preview. Tests
// replace it with a script.
class PrintSetup {
  public:
    virtual ~PrintSetup() = default;

    // The printer a job starts from: the system's default printer or, with no printer installed, a PDF
    // file proposed in the documents folder (the home folder when there is none).
    virtual std::unique_ptr<QPrinter> printer();
    // Shows the job in a preview whose Print button opens the print dialog ("Print to File (PDF)" is always
    // one of its printers). `paint` draws the whole job on the printer it is handed, for the preview and
    // for the print, and answers false when that printer could not be opened. True when the job was
    // printed; false when the user closed the dialogs without printing.
    virtual bool run(QPrinter& printer, const std::function<bool(QPrinter&)>& paint, QWidget* owner);
};

// The PDF file proposed when no printer is installed: "Velumix Playlist.pdf" in `documents`, or in `home`
// when `documents` is empty or not a folder.
QString proposedPdfFile(const QString& documents, const QString& home);

}  // namespace vx::ui
