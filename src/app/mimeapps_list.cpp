#include "app/mimeapps_list.h"

namespace vx {

namespace {

bool isHeader(const QByteArray& trimmed) {
    return trimmed.size() >= 2 && trimmed.startsWith('[') && trimmed.endsWith(']');
}

// The key of a "key=value" line, or empty for headers, comments, blank lines and anything else.
QByteArray keyOf(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith('#') || isHeader(trimmed)) return {};
    const qsizetype equals = line.indexOf('=');
    return equals > 0 ? line.left(equals).trimmed() : QByteArray();
}

QStringList entriesOf(const QByteArray& line) {
    QStringList entries;
    for (const QByteArray& part : line.mid(line.indexOf('=') + 1).split(';')) {
        const QByteArray name = part.trimmed();
        if (!name.isEmpty()) entries << QString::fromUtf8(name);
    }
    return entries;
}

}  // namespace

MimeAppsList::MimeAppsList(const QByteArray& text) {
    if (text.isEmpty()) return;
    const QList<QByteArray> parts = text.split('\n');
    finalNewline_ = text.endsWith('\n');
    const qsizetype count = finalNewline_ ? parts.size() - 1 : parts.size();
    lines_.assign(parts.begin(), parts.begin() + count);
}

QByteArray MimeAppsList::text() const {
    QByteArray out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i];
        if (i + 1 < lines_.size() || finalNewline_) out += '\n';
    }
    return out;
}

MimeAppsList::Range MimeAppsList::findGroup(const QString& group) const {
    const QByteArray header = '[' + group.toUtf8() + ']';
    Range range;
    for (int i = 0; i < int(lines_.size()); ++i) {
        const QByteArray trimmed = lines_[std::size_t(i)].trimmed();
        if (range.header < 0) {
            if (trimmed == header) range.header = i;
        } else if (isHeader(trimmed)) {
            range.end = i;
            return range;
        }
    }
    range.end = int(lines_.size());
    return range;
}

std::vector<int> MimeAppsList::keyLines(const Range& range, const QString& mimeType) const {
    std::vector<int> found;
    if (range.header < 0) return found;
    const QByteArray key = mimeType.toUtf8();
    for (int i = range.header + 1; i < range.end; ++i) {
        if (keyOf(lines_[std::size_t(i)]) == key) found.push_back(i);
    }
    return found;
}

QStringList MimeAppsList::entries(const QString& group, const QString& mimeType) const {
    const std::vector<int> found = keyLines(findGroup(group), mimeType);
    return found.empty() ? QStringList() : entriesOf(lines_[std::size_t(found.front())]);
}

// The key as written (its spacing kept) and a line end like the one it had.
void MimeAppsList::setEntries(int line, const QStringList& entries) {
    QByteArray& text = lines_[std::size_t(line)];
    if (entries.isEmpty()) {
        lines_.erase(lines_.begin() + line);
        return;
    }
    const bool carriageReturn = text.endsWith('\r');
    text = text.left(text.indexOf('=') + 1) + entries.join(';').toUtf8() + ';';
    if (carriageReturn) text += '\r';
}

void MimeAppsList::putFirst(const QString& group, const QString& mimeType, const QString& desktopFile) {
    Range range = findGroup(group);
    const std::vector<int> found = keyLines(range, mimeType);
    if (!found.empty()) {
        QStringList entries = entriesOf(lines_[std::size_t(found.front())]);
        entries.removeAll(desktopFile);
        entries.prepend(desktopFile);
        setEntries(found.front(), entries);
        return;
    }
    const QByteArray lineEnd = !lines_.empty() && lines_.front().endsWith('\r') ? "\r" : "";
    const QByteArray line = mimeType.toUtf8() + '=' + desktopFile.toUtf8() + ';' + lineEnd;
    if (range.header < 0) {
        // A new group at the end, set off by a blank line from what came before.
        if (!lines_.empty() && !lines_.back().trimmed().isEmpty()) lines_.push_back(lineEnd);
        lines_.push_back('[' + group.toUtf8() + ']' + lineEnd);
        lines_.push_back(line);
        finalNewline_ = true;
        return;
    }
    // After the group's last line that is not blank, so blank lines before the next group stay there.
    int at = range.end;
    while (at > range.header + 1 && lines_[std::size_t(at - 1)].trimmed().isEmpty()) --at;
    if (at == int(lines_.size())) finalNewline_ = true;
    lines_.insert(lines_.begin() + at, line);
}

void MimeAppsList::remove(const QString& group, const QString& mimeType, const QString& desktopFile) {
    const std::vector<int> found = keyLines(findGroup(group), mimeType);
    // From the last, so that erasing a line leaves the earlier line numbers valid.
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        QStringList entries = entriesOf(lines_[std::size_t(*it)]);
        if (entries.removeAll(desktopFile) > 0) setEntries(*it, entries);
    }
}

}  // namespace vx
