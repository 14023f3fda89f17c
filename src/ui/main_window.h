#pragma once

#include <QFrame>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "options/dj_setup.h"

class QHBoxLayout;
class QLabel;

namespace vx {

class AppLifecycle;
class Dialogs;
class DeckPanel;
class DjConsole;
class KeyFilter;
class KeyLabels;
class MixerPanel;
class ProgramPlaylist;
namespace ui {
class PlaylistWindow;
}

// The main window: a frameless dark window with its own title strip and the three panels (left deck,
// mixer, right deck). It resizes freely above a minimum that fits a small laptop, and everything in it
// scales with it; its size and place are kept in the settings when it closes. It owns the console's models (DjConsole) and redraws the panels from them after
// every control event and display tick; closing and help ask the lifecycle.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MainWindow(AppLifecycle& lifecycle, QWidget* parent = nullptr);

    ~MainWindow() override;

    QWidget* panel(Panel which) const { return panels_[static_cast<std::size_t>(which)]; }
    DjConsole& console() { return *console_; }
    // The console's start values and the command line's song (wire the playlist before this).
    void startConsole();
    // Redraws every panel from the models.
    void refreshAll();
    // Lines the panels up in the set-up's order.
    void applyDjSetup(int djSetup);
    // The edges a left press at `pos` (window coordinates) resizes; none inside the panels.
    Qt::Edges resizeEdgesAt(QPoint pos) const;
    // The factor every measure of the console is drawn at (1 at the design size).
    double scale() const { return scale_; }
    // A tool window that exit closes, last opened first.
    void addOpenWindow(QWidget* window);
    // The program's playlist: the console's next song and open buttons use it, tmrAsync loads its window
    // and playListCB shows it. Before startConsole; `playlist` and `dialogs` must outlive this window.
    void attachPlaylist(ProgramPlaylist& playlist, Dialogs& dialogs);
    // playListCB: the playlist window, modeless and owned by this window, centred on the screen.
    void showPlaylistWindow();
    ui::PlaylistWindow* playlistWindow() const { return playlistWindow_; }

    // Filled by the playlist window.
    std::function<void()> onPlaylist;
    // Filled by the association dialog: shown by the options dialog's "Associate Music Files...".
    std::function<void()> onAssociate;
    // optionsF, modal (F10 and the Options button).
    void showOptions();

    void showHelp();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildTitleBar();
    // The remembered size and place, kept on the screen as it is now; else a first-time size.
    void placeOnScreen();
    // Scales fonts and measures to the window's size.
    void rescale();
    void tickAll();
    // The title strip's tool tip tells how often the sound broke up.
    void showDropouts();
    void loadPlaylistWindow();
    bool startMove(bool sizeAllPointer);
    void endMove();

    AppLifecycle& lifecycle_;
    QWidget* titleBar_ = nullptr;
    QLabel* imgIcon_ = nullptr;
    std::unique_ptr<DjConsole> console_;
    DeckPanel* leftDeck_ = nullptr;
    DeckPanel* rightDeck_ = nullptr;
    MixerPanel* mixer_ = nullptr;
    std::unique_ptr<KeyLabels> keyLabels_;
    KeyFilter* keyFilter_ = nullptr;  // on the application while this window lives
    std::array<QWidget*, 3> panels_{};
    QHBoxLayout* panelRow_ = nullptr;
    double scale_ = 0;
    QList<QPointer<QWidget>> openWindows_;
    ProgramPlaylist* playlist_ = nullptr;
    Dialogs* playlistDialogs_ = nullptr;
    ui::PlaylistWindow* playlistWindow_ = nullptr;  // a child: lives as long as this window
    bool movePointer_ = false;
    int settingsObserver_ = 0;
};

}  // namespace vx
