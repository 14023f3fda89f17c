#pragma once

#include <QLabel>
#include <QWidget>

namespace vx {

// The splash window shown while the program starts.
class LoadingWindow : public QWidget {
    Q_OBJECT
  public:
    explicit LoadingWindow(QWidget* parent = nullptr);

    // "Loading Playlist: N Songs done...", never going back to a smaller N.
    void setLoadedSongs(int songs);
    QString status() const { return status_->text(); }

  private:
    QLabel* status_;
    int lastShown_ = -1;
};

}  // namespace vx
