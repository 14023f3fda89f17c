#pragma once

#include <QString>
#include <QtGlobal>

// Keys as the key map knows them: a Qt key code (Qt::Key) naming a physical key by what it shows on a
// US keyboard, e.g. Qt::Key_Z for the key left of X, whatever the user's layout prints on it.
namespace vx::keys {

// Modifier mask delivered with a key: added together.
constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;

// The key's name in keys.conf ("Z", "Comma", "F2", "PageUp"...); empty for a key the map cannot hold.
QString keyName(int key);
// The short text a shortcut label shows (",", "PgUp", an arrow...).
QString keyLabel(int key);
// The key of a name in keys.conf, case-insensitive; 0 for an unknown name.
int keyFromName(const QString& name);

// The US-layout key at a physical position.
//
// Letters, digits and the punctuation keys are taken by position: with `xkbScanCodes` (X11 and Wayland,
// where the native scan code is the evdev key number + 8), the scan code is looked up in a table of the
// US layout, so Z, X, comma and period keep their places on a German, French or Cyrillic keyboard.
// Every other key (function keys, arrows, Enter, Esc, the keypad...) is taken by its key code, which
// does not depend on the layout. Without usable scan codes (other platforms, or a scan code of 0, as
// synthetic events have) the key code is used, with the shifted US symbols folded back onto their keys
// ('<' is Comma, '@' is 2), which is right only on a US layout.
//
// Limits: the labels show the US names, not the user's keycaps; a key outside the US table (the extra
// key of ISO keyboards, keys of Japanese keyboards) has only its key code; a remapped layout at the
// hardware level (a keyboard that sends other scan codes) moves the keys with it.
int physicalKey(int qtKey, quint32 scanCode, bool xkbScanCodes);

}  // namespace vx::keys
