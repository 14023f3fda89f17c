#pragma once

#include <QPointer>
#include <QWidget>

#include "services/dialogs.h"

namespace vx {

// Message boxes and file pickers of the desktop, modal to `parent` when one is set.
class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QStringList> openFiles(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace vx
