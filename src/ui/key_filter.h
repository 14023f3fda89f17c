#pragma once

#include <QObject>

class QWidget;

namespace vx {

class KeyDispatch;

// The console's keyboard, installed on the application: key presses and releases meant for the main
// window reach the key table before any control sees them, so a focused slider or button never eats a
// deck key. Left alone: keys typed into a text box, keys of other windows and of modal dialogs.
class KeyFilter : public QObject {
    Q_OBJECT
  public:
    KeyFilter(QWidget& window, KeyDispatch& keys);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool forConsole(QObject* watched) const;

    QWidget& window_;
    KeyDispatch& keys_;
    const bool xkbScanCodes_;  // the platform's scan codes are evdev numbers + 8 (X11, Wayland)
};

}  // namespace vx
