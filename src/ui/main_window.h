#pragma once

#include <QFrame>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "options/dj_setup.h"

class QLabel;

namespace vx {

class AppLifecycle;

// The main window: a frameless dark window with its own title strip and the three panels (left deck,
// mixer, right deck). It wires the models to widgets; closing and help ask the lifecycle.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MainWindow(AppLifecycle& lifecycle, QWidget* parent = nullptr);

    QFrame* panel(Panel which) const { return panels_[static_cast<std::size_t>(which)]; }
    // Lines the panels up in the set-up's order and fits the window around them.
    void applyDjSetup(int djSetup);
    // A tool window that exit closes, last opened first.
    void addOpenWindow(QWidget* window);

    // Filled by the windows built later (options dialog, playlist window).
    std::function<void()> onOptions;
    std::function<void()> onPlaylist;

    void showHelp();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildTitleBar();
    QFrame* buildPanel(const char* name, int width);
    bool startMove(bool sizeAllPointer);
    void endMove();

    AppLifecycle& lifecycle_;
    QWidget* titleBar_ = nullptr;
    QLabel* imgIcon_ = nullptr;
    std::array<QFrame*, 3> panels_{};
    QList<QPointer<QWidget>> openWindows_;
    bool movePointer_ = false;
};

}  // namespace vx
