#include "ui/key_filter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "app/key_dispatch.h"
#include "app/key_names.h"

namespace vx {

namespace {

bool takesText(const QWidget* w) {
    if (!w) return false;
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)) return true;
    if (const auto* t = qobject_cast<const QTextEdit*>(w)) return !t->isReadOnly();
    if (const auto* t = qobject_cast<const QPlainTextEdit*>(w)) return !t->isReadOnly();
    if (const auto* c = qobject_cast<const QComboBox*>(w)) return c->isEditable();
    return false;
}

int shiftMask(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? keys::kShift : 0) | (m & Qt::ControlModifier ? keys::kCtrl : 0) |
           (m & Qt::AltModifier ? keys::kAlt : 0);
}

bool platformHasXkbScanCodes() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

}  // namespace

KeyFilter::KeyFilter(QWidget& window, KeyDispatch& keys)
    : QObject(&window), window_(window), keys_(keys), xkbScanCodes_(platformHasXkbScanCodes()) {}

// A key event reaches the focused widget first and, while ignored, each of its parents: the first
// visit decides, and a key the table took goes no further.
bool KeyFilter::forConsole(QObject* watched) const {
    const auto* w = static_cast<const QWidget*>(watched);
    if (w->window() != &window_ || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        return false;
    }
    return !takesText(w) && !takesText(QApplication::focusWidget());
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        keys_.clearModifiers();  // their releases go to another program
        return false;
    }
    // Widgets only: the window system's delivery to a window is forwarded to its focused widget.
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType()) return false;
    const auto* k = static_cast<QKeyEvent*>(event);
    // Ctrl and Alt are followed in every window (and never taken), so that one released elsewhere is
    // not held for ever.
    if (k->key() == Qt::Key_Control || k->key() == Qt::Key_Alt) {
        if (k->isAutoRepeat()) return false;
        return type == QEvent::KeyPress ? keys_.keyDown(k->key(), 0) : keys_.keyUp(k->key());
    }
    if (!forConsole(watched)) return false;
    const int key = keys::physicalKey(k->key(), k->nativeScanCode(), xkbScanCodes_);
    if (type == QEvent::KeyPress) return keys_.keyDown(key, shiftMask(k->modifiers()), k->isAutoRepeat());
    // The window system repeats a held key as release and press pairs: only the last release counts.
    if (k->isAutoRepeat()) return true;
    return keys_.keyUp(key);
}

}  // namespace vx
