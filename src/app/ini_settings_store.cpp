#include "app/ini_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "app/atomic_file.h"

namespace vx {

namespace {
const QByteArray kSection = "[Velumix]";

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

QString unescape(const QByteArray& raw) {
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
    QFile file(filePath_);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r')) line.chop(1);
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0 || line.startsWith('[') || line.startsWith('#') || line.startsWith(';')) continue;
        const QString name = QString::fromUtf8(line.left(eq)).trimmed();
        const QString value = unescape(line.mid(eq + 1));
        if (auto it = find(name); it != entries_.end()) {
            it->second = value;  // a repeated name: the last one counts
        } else {
            entries_.emplace_back(name, value);
        }
    }
}

std::vector<IniSettingsStore::Entry>::iterator IniSettingsStore::find(const QString& name) {
    return std::find_if(entries_.begin(), entries_.end(),
                        [&](const Entry& e) { return e.first.compare(name, Qt::CaseInsensitive) == 0; });
}

QString IniSettingsStore::read(const QString& name) const {
    for (const Entry& e : entries_) {
        if (e.first.compare(name, Qt::CaseInsensitive) == 0) return cut(e.second);
    }
    return kSettingNotFound;
}

void IniSettingsStore::write(const QString& name, const QString& value) {
    const QString cleanName = name.trimmed();
    if (cleanName.isEmpty() || cleanName.contains('=') || cleanName.contains('\n') ||
        cleanName.contains('\r'))
        return;
    std::vector<Entry> next = entries_;
    const auto pos = std::find_if(next.begin(), next.end(), [&](const Entry& e) {
        return e.first.compare(cleanName, Qt::CaseInsensitive) == 0;
    });
    if (pos != next.end()) {
        if (pos->second == value) return;
        pos->second = value;
    } else {
        next.emplace_back(cleanName, value);
    }
    if (save(next)) entries_ = std::move(next);
}

bool IniSettingsStore::save(const std::vector<Entry>& entries) const {
    if (!QDir().mkpath(QFileInfo(filePath_).absolutePath())) return false;
    QByteArray text = kSection + '\n';
    for (const Entry& e : entries) text += e.first.toUtf8() + '=' + escape(e.second) + '\n';
    return !writeFileAtomically(filePath_, text, fs_);
}

}  // namespace vx
