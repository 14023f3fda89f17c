#include "app/key_map.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <algorithm>
#include <cstring>

#include "app/key_names.h"
#include "services/atomic_file.h"
#include "services/bounded_file.h"
#include "services/dialogs.h"

namespace vx {

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024;  // a key map is a few kilobytes; anything larger is not one
constexpr int kListedBadLines = 10;          // the message names this many, then counts the rest

const char* const kHeader =
    "# Velumix keys: one \"action = key\" per line; \"#\" starts a comment.\n"
    "# Keys: A-Z, 0-9, F1-F12, Comma, Period, Slash, Semicolon, Apostrophe, Minus, Equal,\n"
    "# BracketLeft, BracketRight, Backslash, Grave, Esc, Enter, Tab, Space, Backspace, Insert, Delete,\n"
    "# Home, End, PageUp, PageDown, Up, Down, Left, Right, or None for no key.\n"
    "# Letters, digits and punctuation name key positions on a US keyboard: \"Z\" is the key left of X\n"
    "# whatever your layout prints on it. The modifiers an action needs are fixed (see each comment);\n"
    "# when two actions share a key and modifiers, the one listed first wins.\n"
    "# Ctrl and Alt are held by the keyboard itself and cannot be given to an action.\n\n";

QString describe(BoundedRead::Status status, int error) {
    switch (status) {
        case BoundedRead::Status::NotRegular:
            return QStringLiteral("it is not a regular file");
        case BoundedRead::Status::TooLarge:
            return QStringLiteral("it is larger than 64 KiB");
        default:
            return QString::fromLocal8Bit(strerror(error));
    }
}

}  // namespace

KeyMap::KeyMap(std::vector<Binding> bindings) : bindings_(std::move(bindings)) {
    resetToDefaults();
}

void KeyMap::resetToDefaults() {
    keys_.clear();
    for (const Binding& b : bindings_) keys_.push_back(b.defaultKey);
}

int KeyMap::indexOf(const QString& action) const {
    for (int i = 0; i < size(); ++i) {
        if (bindings_[i].action == action) return i;
    }
    return -1;
}

int KeyMap::keyOf(const QString& action) const {
    const int i = indexOf(action);
    return i < 0 ? 0 : keys_[i];
}

std::vector<KeyMap::BadLine> KeyMap::parse(const QByteArray& text) {
    std::vector<BadLine> bad;
    const QList<QByteArray> lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        QString line = QString::fromUtf8(lines[n]);
        const qsizetype hash = line.indexOf('#');
        if (hash >= 0) line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty()) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) {
            bad.push_back({n + 1, QStringLiteral("no \"=\" between action and key")});
            continue;
        }
        const QString action = line.left(eq).trimmed();
        const QString keyText = line.mid(eq + 1).trimmed();
        const int index = indexOf(action);
        if (index < 0) {
            bad.push_back({n + 1, QStringLiteral("unknown action \"%1\"").arg(action)});
            continue;
        }
        if (keyText.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0) {
            keys_[index] = 0;
            continue;
        }
        const int key = keys::keyFromName(keyText);
        if (key == 0) {
            bad.push_back({n + 1, QStringLiteral("unknown key \"%1\"").arg(keyText)});
            continue;
        }
        keys_[index] = key;
    }
    return bad;
}

QByteArray KeyMap::format() const {
    QString text = QString::fromLatin1(kHeader);
    int width = 0;
    for (const Binding& b : bindings_) width = std::max(width, static_cast<int>(b.action.size()));
    for (int i = 0; i < size(); ++i) {
        const QString key = keys_[i] == 0 ? QStringLiteral("None") : keys::keyName(keys_[i]);
        QString line = bindings_[i].action.leftJustified(width) + " = " + key;
        if (!bindings_[i].comment.isEmpty())
            line = line.leftJustified(width + 16) + "# " + bindings_[i].comment;
        text += line + '\n';
    }
    return text.toUtf8();
}

void loadKeyMap(KeyMap& map, const QString& path, Dialogs& dialogs) {
    map.resetToDefaults();
    const QString shown = QDir::toNativeSeparators(path);
    const auto tell = [&dialogs](const QString& text) {
        dialogs.message(text, {}, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    };
    const BoundedRead read = readRegularFile(path, kMaxFileBytes);
    if (read.status == BoundedRead::Status::Missing) {
        QDir().mkpath(QFileInfo(path).absolutePath());  // a failure shows as the write's
        if (const auto failure = writeFileAtomically(path, map.format())) {
            tell(QStringLiteral("The key map %1 could not be written: %2. The default keys are used.")
                     .arg(shown, failure->text));
        }
        return;
    }
    if (read.status != BoundedRead::Status::Ok) {
        tell(QStringLiteral("The key map %1 could not be read: %2. The default keys are used.")
                 .arg(shown, describe(read.status, read.error)));
        return;
    }
    const std::vector<KeyMap::BadLine> bad = map.parse(read.bytes);
    if (bad.empty()) return;
    QString text = QStringLiteral("These lines of the key map %1 were ignored:\n").arg(shown);
    for (int i = 0; i < static_cast<int>(bad.size()) && i < kListedBadLines; ++i) {
        text += QStringLiteral("\nline %1: %2").arg(bad[i].number).arg(bad[i].reason);
    }
    if (bad.size() > kListedBadLines) {
        text += QStringLiteral("\n... and %1 more").arg(bad.size() - kListedBadLines);
    }
    tell(text);
}

}  // namespace vx
