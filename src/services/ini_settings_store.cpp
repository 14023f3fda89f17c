#include "services/ini_settings_store.h"

#include <QDir>
#include <QFileInfo>

#include "services/atomic_file.h"
#include "services/bounded_file.h"

namespace vx {

namespace {
const QByteArray kSection = "Velumix";
const QByteArray kByteOrderMark = "\xEF\xBB\xBF";

QByteArray escape(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString unescape(QByteArrayView raw) {
    QByteArray out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += raw[i];
        }
    }
    return QString::fromUtf8(out);
}

// Cuts at most kMaxValueBytes of UTF-8, never inside a character.
QString cut(const QString& value) {
    QByteArray utf8 = value.toUtf8();
    if (utf8.size() <= IniSettingsStore::kMaxValueBytes) return value;
    qsizetype end = IniSettingsStore::kMaxValueBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    utf8.truncate(end);
    return QString::fromUtf8(utf8);
}
}  // namespace

IniSettingsStore::IniSettingsStore(QString filePath, FileSystem& fs)
    : filePath_(std::move(filePath)), fs_(fs) {
    BoundedRead file = readRegularFile(filePath_, kMaxFileBytes);
    if (file.status == BoundedRead::Status::Ok) {
        text_ = std::move(file.bytes);
        index(text_);
    } else if (file.status != BoundedRead::Status::Missing) {
        writable_ = false;
    }
}

void IniSettingsStore::index(const QByteArray& text) {
    values_.clear();
    insertAt_ = -1;
    bool ours = true;  // lines before the first section count too
    bool inSection = false;
    qsizetype pos = text.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < text.size()) {
        const qsizetype newline = text.indexOf('\n', pos);
        const qsizetype next = newline < 0 ? text.size() : newline + 1;
        qsizetype end = newline < 0 ? text.size() : newline;
        if (end > pos && text[end - 1] == '\r') --end;
        const QByteArrayView line(text.constData() + pos, end - pos);
        const QByteArrayView trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.indexOf(']');
            const QByteArrayView section =
                trimmed.sliced(1, (close < 0 ? trimmed.size() : close) - 1).trimmed();
            ours = inSection = section.compare(kSection, Qt::CaseInsensitive) == 0;
            if (inSection) insertAt_ = next;
        } else if (ours && !trimmed.startsWith('#') && !trimmed.startsWith(';')) {
            const qsizetype eq = line.indexOf('=');
            const QString name = eq > 0 ? QString::fromUtf8(line.first(eq)).trimmed() : QString();
            if (!name.isEmpty()) {
                values_.insert(name.toCaseFolded(), Span{pos + eq + 1, end});  // a later line wins
                if (inSection) insertAt_ = next;
            }
        }
        pos = next;
    }
}

QString IniSettingsStore::read(const QString& name) const {
    const auto it = values_.constFind(name.toCaseFolded());
    if (it == values_.constEnd()) return kSettingNotFound;
    return cut(unescape(QByteArrayView(text_).sliced(it->begin, it->end - it->begin)));
}

void IniSettingsStore::write(const QString& name, const QString& value) {
    const QString cleanName = name.trimmed();
    if (!writable_ || cleanName.isEmpty() || cleanName.contains('=') || cleanName.contains('\n') ||
        cleanName.contains('\r') || QStringLiteral("[#;").contains(cleanName.front()))
        return;
    QByteArray next;
    if (const auto it = values_.constFind(cleanName.toCaseFolded()); it != values_.constEnd()) {
        if (read(cleanName) == value) return;  // what read() answered: the stored bytes stay
        next = text_.left(it->begin) + escape(value) + text_.mid(it->end);
    } else {
        const QByteArray newline = text_.contains("\r\n") ? "\r\n" : "\n";
        QByteArray before = insertAt_ < 0 ? text_ : text_.left(insertAt_);
        // A last line cut after its CR is ended with the LF alone: another CR would join its value.
        if (!before.isEmpty() && !before.endsWith('\n')) before += before.endsWith('\r') ? "\n" : newline;
        if (insertAt_ < 0) before += '[' + kSection + ']' + newline;
        next = before + cleanName.toUtf8() + '=' + escape(value) + newline +
               (insertAt_ < 0 ? QByteArray() : text_.mid(insertAt_));
    }
    if (next.size() > kMaxFileBytes || !save(next)) return;
    text_ = std::move(next);
    index(text_);
}

bool IniSettingsStore::save(const QByteArray& text) const {
    if (!QDir().mkpath(QFileInfo(filePath_).absolutePath())) return false;
    return !writeFileAtomically(filePath_, text, fs_);
}

}  // namespace vx
