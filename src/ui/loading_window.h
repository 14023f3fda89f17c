#pragma once

#include <QLabel>
#include <QWidget>

namespace vx {

// The splash window shown while the program starts and while the remembered playlist is read. It never
// keeps the program running on its own.
class LoadingWindow : public QWidget {
    Q_OBJECT
  public:
    explicit LoadingWindow(QWidget* parent = nullptr);

    // "Loading Playlist: N Songs done...", never going back to a smaller N.
    void setLoadedSongs(int songs);
    QString status() const { return status_->text(); }
    // The start's playlist load: the songs read so far; the splash closes when it has finished.
    void showStartLoad(int songsDone, bool finished);

  protected:
    // A click sends the splash away early; the playlist window shows the same progress.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QLabel* status_;
    int lastShown_ = -1;
};

}  // namespace vx
