#pragma once

#include <QLabel>
#include <QPoint>

namespace vx {

class DjConsole;

// The next-song box between the decks: shows the playlist's current entry and is never edited. A press
// marks the entry as the drag source; moving the pressed pointer drags it, and dropping it on a deck
// loads it there. Its tooltip is its own text.
class NextSongBox : public QLabel {
    Q_OBJECT
  public:
    explicit NextSongBox(DjConsole& console, QWidget* parent = nullptr);

    // Shows the current entry's display line.
    void refresh();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

  private:
    DjConsole& console_;
    QPoint pressAt_;
    bool pressed_ = false;
};

}  // namespace vx
