#include "app/key_dispatch.h"

#include <QStringList>
#include <Qt>

#include "app/dj_console.h"
#include "app/key_names.h"

namespace vx {

namespace {

std::vector<KeyMap::Binding> bindingsOf(std::span<const KeyRow> rows) {
    std::vector<KeyMap::Binding> bindings;
    for (const KeyRow& row : rows) {
        bindings.push_back({QString::fromLatin1(row.action), row.defaultKey, QString::fromUtf8(row.comment)});
    }
    return bindings;
}

}  // namespace

KeyDispatch::KeyDispatch(DjConsole& console) : console_(console), map_(bindingsOf(keyRows())) {}

void KeyDispatch::load(const QString& path, Dialogs& dialogs) {
    loadKeyMap(map_, path, dialogs);
    console_.notifyChanged();  // the labels show the keys just read
}

bool KeyDispatch::applies(KeyWhen when, int mask) const {
    switch (when) {
        case KeyWhen::Always:
            return true;
        case KeyWhen::Shift:
            return mask == keys::kShift;
        case KeyWhen::ShiftNoCtrl:
            return mask == keys::kShift && !ctrlHeld_;
        case KeyWhen::Ctrl:
            return ctrlHeld_;
        case KeyWhen::CtrlNotAlt:
            return ctrlHeld_ && !altHeld_;
        case KeyWhen::AltNotCtrl:
            return altHeld_ && !ctrlHeld_;
        case KeyWhen::CtrlAndAlt:
            return ctrlHeld_ && altHeld_;
        case KeyWhen::Neither:
            return !ctrlHeld_ && !altHeld_;
        case KeyWhen::CtrlShift:
            return mask == keys::kShift + keys::kCtrl && ctrlHeld_;
    }
    return false;
}

bool KeyDispatch::keyDown(int key, int shiftMask, bool autoRepeat) {
    // The modifiers are followed but never taken: other windows and controls see them as well.
    if (key == Qt::Key_Control) {
        ctrlHeld_ = true;
        return false;
    }
    if (key == Qt::Key_Alt) {
        altHeld_ = true;
        return false;
    }
    if (key == 0) return false;
    const std::span<const KeyRow> rows = keyRows();
    for (int i = 0; i < map_.size(); ++i) {
        if (map_.key(i) != key || !applies(rows[i].when, shiftMask)) continue;
        if (autoRepeat && !rows[i].repeats) return true;
        rows[i].press(*this);
        console_.notifyChanged();
        return true;
    }
    return false;
}

bool KeyDispatch::keyUp(int key) {
    if (key == Qt::Key_Control) {
        ctrlHeld_ = false;
        return false;
    }
    if (key == Qt::Key_Alt) {
        altHeld_ = false;
        return false;
    }
    if (key == 0) return false;
    const std::span<const KeyRow> rows = keyRows();
    bool released = false;
    for (int i = 0; i < map_.size(); ++i) {
        if (map_.key(i) != key || !rows[i].release) continue;
        rows[i].release(*this);
        released = true;
    }
    if (released) console_.notifyChanged();
    return released;
}

void KeyDispatch::setLabelsShown(bool shown) {
    labelsShown_ = shown;
}

QString KeyDispatch::labelText(int index) const {
    QStringList parts;
    for (const char* action : labelActions(index)) {
        const int i = map_.indexOf(QString::fromLatin1(action));
        if (i < 0 || map_.key(i) == 0) continue;
        const KeyWhen when = keyRows()[static_cast<std::size_t>(i)].when;
        const bool shifted = when == KeyWhen::Shift || when == KeyWhen::ShiftNoCtrl;
        parts << (shifted ? QString::fromUtf8("\u21E7") : QString()) + keys::keyLabel(map_.key(i));
    }
    return parts.join(' ');
}

}  // namespace vx
