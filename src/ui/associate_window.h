#pragma once

#include <QWidget>
#include <functional>
#include <array>

#include "app/desktop_associations.h"

class QCheckBox;

namespace vx {
class Dialogs;
}

namespace vx::ui {

// frmAssociate: which kinds of file the desktop opens with this program. It reads the choice when it is
// made and deletes itself when closed, so each opening reads again. Update writes the ticked kinds and
// closes; the close button and Escape change nothing. "Show on startup." edits `optStartUp`, which must
// outlive the window. A write that fails is told through `dialogs`.
class AssociateWindow : public QWidget {
    Q_OBJECT
  public:
    // `optStartUp` is the setting as it stands; `storeStartUp` is given its new value whenever the
    // "Show on startup." box changes it.
    AssociateWindow(DesktopAssociations& associations, int optStartUp, std::function<void(int)> storeStartUp,
                    Dialogs& dialogs, QWidget* owner);

    // Kinds found ours when the window was made.
    int associatedCount() const { return associatedCount_; }
    // cmdAssociate: the ticked kinds become ours, the others not; then the window closes.
    void associate();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void toggleStartup();
    void storeStartup();

    DesktopAssociations& associations_;
    int optStartUp_;
    std::function<void(int)> storeStartUp_;
    Dialogs& dialogs_;
    std::array<QCheckBox*, kAssociationKinds> boxes_{};
    QCheckBox* startupBox_ = nullptr;
    QWidget* startupLabel_ = nullptr;
    int associatedCount_ = 0;
};

}  // namespace vx::ui
