#pragma once

#include <QStringList>
#include <QWidget>

#include "ui/print_setup.h"

class QLabel;
class QPushButton;

namespace vx {
class Dialogs;
}

namespace vx::ui {

// frmPrint: the small "Printing..." window whose Cancel stops a print and discards the job.
class PrintWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PrintWindow(int pages, QWidget* owner);
    QLabel* label() const { return label_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    QLabel* label_;
    QPushButton* cancel_;
};

// Prints the playlist's display lines: the page question, then frmPrint while the pages are composed (its
// Cancel discards the job), then the preview and print dialog of `setup`. A job that could not be printed
// is told through `dialogs`. True when the job was printed; false after No, Cancel, closing the dialogs
// or a failure.
bool printPlaylistLines(const QStringList& lines, PrintSetup& setup, Dialogs& dialogs, QWidget* owner);

}  // namespace vx::ui
