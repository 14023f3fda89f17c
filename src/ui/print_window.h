#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QPrinter;
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

// Prints the playlist's display lines on `printer` after the page question, showing frmPrint while it
// runs. Returns true when the job went to the printer; false after No or Cancel.
bool printPlaylistLines(const QStringList& lines, QPrinter& printer, Dialogs& dialogs, QWidget* owner);

}  // namespace vx::ui
