#include "app/key_names.h"

#include <Qt>
#include <array>

namespace vx::keys {

namespace {

struct Named {
    int key;
    const char* name;
    const char* label;
};

// Keys other than letters, digits and F1..F12.
constexpr std::array<Named, 26> kNamed{{
    {Qt::Key_Escape, "Esc", "Esc"},
    {Qt::Key_Return, "Enter", "Enter"},
    {Qt::Key_Tab, "Tab", "Tab"},
    {Qt::Key_Space, "Space", "Space"},
    {Qt::Key_Backspace, "Backspace", "Bksp"},
    {Qt::Key_Insert, "Insert", "Ins"},
    {Qt::Key_Delete, "Delete", "Del"},
    {Qt::Key_Home, "Home", "Home"},
    {Qt::Key_End, "End", "End"},
    {Qt::Key_PageUp, "PageUp", "PgUp"},
    {Qt::Key_PageDown, "PageDown", "PgDn"},
    {Qt::Key_Up, "Up", "\u2191"},
    {Qt::Key_Down, "Down", "\u2193"},
    {Qt::Key_Left, "Left", "\u2190"},
    {Qt::Key_Right, "Right", "\u2192"},
    {Qt::Key_Comma, "Comma", ","},
    {Qt::Key_Period, "Period", "."},
    {Qt::Key_Slash, "Slash", "/"},
    {Qt::Key_Semicolon, "Semicolon", ";"},
    {Qt::Key_Apostrophe, "Apostrophe", "'"},
    {Qt::Key_Minus, "Minus", "-"},
    {Qt::Key_Equal, "Equal", "="},
    {Qt::Key_BracketLeft, "BracketLeft", "["},
    {Qt::Key_BracketRight, "BracketRight", "]"},
    {Qt::Key_Backslash, "Backslash", "\\"},
    {Qt::Key_QuoteLeft, "Grave", "`"},
}};

bool isLetterOrDigit(int key) {
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
}

bool isFunctionKey(int key) {
    return key >= Qt::Key_F1 && key <= Qt::Key_F12;
}

const Named* named(int key) {
    for (const Named& n : kNamed) {
        if (n.key == key) return &n;
    }
    return nullptr;
}

// The US layout by evdev key number (scan code - 8), from KEY_1 (2) to KEY_SLASH (53); 0 where the
// position holds no key of the map (Esc, Backspace, Tab, Enter, Ctrl, Shift at 1, 14, 15, 28, 29, 42).
constexpr std::array<int, 54> kUsByEvdev{0,
                                         0,
                                         Qt::Key_1,
                                         Qt::Key_2,
                                         Qt::Key_3,
                                         Qt::Key_4,
                                         Qt::Key_5,
                                         Qt::Key_6,
                                         Qt::Key_7,
                                         Qt::Key_8,
                                         Qt::Key_9,
                                         Qt::Key_0,
                                         Qt::Key_Minus,
                                         Qt::Key_Equal,
                                         0,
                                         0,
                                         Qt::Key_Q,
                                         Qt::Key_W,
                                         Qt::Key_E,
                                         Qt::Key_R,
                                         Qt::Key_T,
                                         Qt::Key_Y,
                                         Qt::Key_U,
                                         Qt::Key_I,
                                         Qt::Key_O,
                                         Qt::Key_P,
                                         Qt::Key_BracketLeft,
                                         Qt::Key_BracketRight,
                                         0,
                                         0,
                                         Qt::Key_A,
                                         Qt::Key_S,
                                         Qt::Key_D,
                                         Qt::Key_F,
                                         Qt::Key_G,
                                         Qt::Key_H,
                                         Qt::Key_J,
                                         Qt::Key_K,
                                         Qt::Key_L,
                                         Qt::Key_Semicolon,
                                         Qt::Key_Apostrophe,
                                         Qt::Key_QuoteLeft,
                                         0,
                                         Qt::Key_Backslash,
                                         Qt::Key_Z,
                                         Qt::Key_X,
                                         Qt::Key_C,
                                         Qt::Key_V,
                                         Qt::Key_B,
                                         Qt::Key_N,
                                         Qt::Key_M,
                                         Qt::Key_Comma,
                                         Qt::Key_Period,
                                         Qt::Key_Slash};
constexpr quint32 kXkbOffset = 8;

// A US keyboard's shifted symbols, folded back onto the key that types them.
int unshiftUs(int key) {
    switch (key) {
        case Qt::Key_Exclam:
            return Qt::Key_1;
        case Qt::Key_At:
            return Qt::Key_2;
        case Qt::Key_NumberSign:
            return Qt::Key_3;
        case Qt::Key_Dollar:
            return Qt::Key_4;
        case Qt::Key_Percent:
            return Qt::Key_5;
        case Qt::Key_AsciiCircum:
            return Qt::Key_6;
        case Qt::Key_Ampersand:
            return Qt::Key_7;
        case Qt::Key_Asterisk:
            return Qt::Key_8;
        case Qt::Key_ParenLeft:
            return Qt::Key_9;
        case Qt::Key_ParenRight:
            return Qt::Key_0;
        case Qt::Key_Underscore:
            return Qt::Key_Minus;
        case Qt::Key_Plus:
            return Qt::Key_Equal;
        case Qt::Key_BraceLeft:
            return Qt::Key_BracketLeft;
        case Qt::Key_BraceRight:
            return Qt::Key_BracketRight;
        case Qt::Key_Colon:
            return Qt::Key_Semicolon;
        case Qt::Key_QuoteDbl:
            return Qt::Key_Apostrophe;
        case Qt::Key_AsciiTilde:
            return Qt::Key_QuoteLeft;
        case Qt::Key_Bar:
            return Qt::Key_Backslash;
        case Qt::Key_Less:
            return Qt::Key_Comma;
        case Qt::Key_Greater:
            return Qt::Key_Period;
        case Qt::Key_Question:
            return Qt::Key_Slash;
        default:
            return key;
    }
}

}  // namespace

QString keyName(int key) {
    if (isLetterOrDigit(key)) return QString(QChar(key));
    if (isFunctionKey(key)) return QStringLiteral("F") + QString::number(key - Qt::Key_F1 + 1);
    const Named* n = named(key);
    return n ? QString::fromLatin1(n->name) : QString();
}

QString keyLabel(int key) {
    const Named* n = named(key);
    return n ? QString::fromUtf8(n->label) : keyName(key);
}

int keyFromName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.size() == 1) {
        const int c = trimmed.at(0).toUpper().unicode();
        if (isLetterOrDigit(c)) return c;
    }
    for (int key = Qt::Key_F1; key <= Qt::Key_F12; ++key) {
        if (trimmed.compare(keyName(key), Qt::CaseInsensitive) == 0) return key;
    }
    for (const Named& n : kNamed) {
        if (trimmed.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) return n.key;
    }
    return 0;
}

int physicalKey(int qtKey, quint32 scanCode, bool xkbScanCodes) {
    if (qtKey == Qt::Key_Enter) return Qt::Key_Return;  // the keypad's Enter is Enter too
    if (xkbScanCodes && scanCode >= kXkbOffset && scanCode - kXkbOffset < kUsByEvdev.size()) {
        const int us = kUsByEvdev[scanCode - kXkbOffset];
        if (us != 0) return us;
    }
    if (xkbScanCodes && scanCode != 0) return qtKey;
    return unshiftUs(qtKey);
}

}  // namespace vx::keys
