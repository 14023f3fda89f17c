#pragma once

#include <QString>
#include <span>

#include "app/key_map.h"

namespace vx {

class DjConsole;
class Dialogs;
class KeyDispatch;

// When a row applies, from the held flags (ctrlHeld, altHeld) and the exact modifier mask of the key
// (keys::kShift + kCtrl + kAlt).
enum class KeyWhen {
    Always,
    Shift,        // mask exactly Shift
    ShiftNoCtrl,  // mask exactly Shift, Ctrl not held
    Ctrl,         // Ctrl held (Alt either way)
    CtrlNotAlt,
    AltNotCtrl,
    CtrlAndAlt,
    Neither,    // neither Ctrl nor Alt held
    CtrlShift,  // mask exactly Shift + Ctrl, and Ctrl held
};

// One row of the key table: an action on the console's models behind a key and a condition.
struct KeyRow {
    const char* action;  // its name in keys.conf
    int defaultKey;      // Qt key code of a US position
    KeyWhen when;
    // Whether an auto-repeated press runs the row again: steps of a level or of the pitch do; buttons
    // that are pressed once and held (bends, cue edits, cuts) or that act once (play, cue) do not.
    bool repeats;
    void (*press)(KeyDispatch&);
    void (*release)(KeyDispatch&);  // on the key's release whatever the modifiers; null for none
    const char* comment;
};

// The rows in the order they are tried: the first row whose key and condition match wins.
std::span<const KeyRow> keyRows();
// The actions each shortcut label shows, by label index (0..KeyDispatch::kLabelCount - 1).
std::span<const char* const> labelActions(int index);

// The console's keyboard: presses and releases of keys (already turned into US positions) become the
// handler calls of the controls they stand for, through the table above and the key map in force.
// It keeps ctrlHeld and altHeld, and whether the shortcut labels show. UI thread only.
class KeyDispatch {
  public:
    static constexpr int kLabelCount = 11;

    explicit KeyDispatch(DjConsole& console);

    DjConsole& console() { return console_; }
    KeyMap& map() { return map_; }
    // keys.conf at `path` (written with the defaults when missing); problems are told through `dialogs`.
    void load(const QString& path, Dialogs& dialogs);

    // A key went down with the modifier mask delivered with it. Answers whether the key was taken (an
    // action ran, or it was an auto-repeat of an action that does not repeat), so the window keeps it
    // from the focused control.
    bool keyDown(int key, int shiftMask, bool autoRepeat = false);
    // A key came up: every release of the actions on that key runs, whatever the modifiers. Answers
    // whether one ran.
    bool keyUp(int key);
    bool ctrlHeld() const { return ctrlHeld_; }
    bool altHeld() const { return altHeld_; }
    // The window lost the keyboard: the releases of Ctrl and Alt will not come.
    void clearModifiers() { ctrlHeld_ = altHeld_ = false; }

    // keyboardTXT: shown from F2 until Esc.
    bool labelsShown() const { return labelsShown_; }
    void setLabelsShown(bool shown);
    // The keys of label `index` in the map in force, e.g. "Z X".
    QString labelText(int index) const;

  private:
    bool applies(KeyWhen when, int shiftMask) const;

    DjConsole& console_;
    KeyMap map_;
    bool ctrlHeld_ = false;
    bool altHeld_ = false;
    bool labelsShown_ = false;
};

}  // namespace vx
