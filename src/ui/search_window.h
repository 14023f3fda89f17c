#pragma once

#include <QWidget>

#include "playlist/playlist_search.h"

class QLineEdit;

namespace vx::ui {

// searchF: finds a song in the playlist by a piece of its line. Modeless, owned by the playlist window,
// deleted when closed (so the next opening starts from the top again).
class SearchWindow : public QWidget {
    Q_OBJECT
  public:
    SearchWindow(playlist::PlaylistModel& playlist, Dialogs& dialogs, QWidget* owner);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    playlist::PlaylistSearch search_;
    QLineEdit* text_;
};

}  // namespace vx::ui
