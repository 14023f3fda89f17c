#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "playlist/playlist_model.h"
#include "ui/print_setup.h"

class QLabel;
class QTreeView;
class QMenu;

namespace vx {
class PlaylistFigures;
}

namespace vx::ui {

class PlaylistLines;

// playlistF: the playlist window, a thin view over the playlist model. Closing it only hides it.
// With `figures`, the list shows each song's tempo, length and loudness beside its line, and a click on
// one of those headers sorts by it (a second click the other way round).
class PlaylistWindow : public QWidget, private playlist::PlaylistObserver {
    Q_OBJECT
  public:
    PlaylistWindow(playlist::PlaylistModel& model, Dialogs& dialogs, QWidget* owner = nullptr,
                   PlaylistFigures* figures = nullptr);
    ~PlaylistWindow() override;

    // How printouts reach paper; by default Qt's preview and print dialog.
    void setPrintSetup(std::unique_ptr<PrintSetup> setup) { print_ = std::move(setup); }
    // Centres the window across the screen at 0.6 of the free height, as at load.
    void placeOnScreen();
    QTreeView* list() const { return list_; }
    QMenu* menu() const { return menu_; }

    // The window's commands, also reachable from outside (a deck's open-file button presses addCB).
    void closeCommand();     // cmdcloseButton: the save question, then hide
    void editTagsCommand();  // cmdID3
    void findCommand();      // findCB
    void printCommand();     // cmdPrint
    // Program end: the window goes without the save question, which exit has asked already.
    void unload();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QWidget* buildButtons();
    void buildMenu();
    void showMenuAt(const QPoint& listPos);
    template <typename F>
    void busy(F&& command);

    // PlaylistObserver
    void linesReset() override;
    void linesChanged(int first, int last) override;
    void currentChanged(int index) override;
    void labelChanged(const QString& label) override;
    void loadProgress(int done, int total) override;

    playlist::PlaylistModel& model_;
    Dialogs& dialogs_;
    std::unique_ptr<PlaylistLines> lines_;
    PlaylistFigures* figures_ = nullptr;
    QTreeView* list_ = nullptr;
    QLabel* label_ = nullptr;
    QLabel* progress_ = nullptr;
    QMenu* menu_ = nullptr;
    int sortedBy_ = -1;  // the figure column the list was last sorted by
    bool descending_ = false;
    bool selecting_ = false;
    bool unloading_ = false;
    std::unique_ptr<PrintSetup> print_;
};

}  // namespace vx::ui
