#pragma once

#include <QDialog>
#include <array>

#include "tags/tag_editor_model.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vx::ui {

// editTagsF: shows and saves the tags of one song. Modal; accepted when it saved (the playlist then
// rebuilds the song's line), rejected by Cancel, its close button or Escape.
class EditTagsWindow : public QDialog {
    Q_OBJECT
  public:
    EditTagsWindow(const QString& path, Dialogs& dialogs, QWidget* owner);
    tags::TagEditorModel& model() { return model_; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    struct Frame {
        QGroupBox* box = nullptr;
        QLineEdit* song = nullptr;
        QLineEdit* artist = nullptr;
        QLineEdit* album = nullptr;
        QLineEdit* year = nullptr;
        QLineEdit* comments = nullptr;
    };
    QGroupBox* buildFrame(int index, const QString& caption);
    void takeTexts();  // boxes on screen -> model
    void showModel();  // model -> boxes, frames and buttons
    void chooseView(int index);
    void saveClicked();

    tags::TagEditorModel model_;
    std::array<Frame, 3> frames_;
    std::array<QRadioButton*, 3> options_{};
    QPushButton* save_ = nullptr;
    QPushButton* copy_ = nullptr;
};

}  // namespace vx::ui
