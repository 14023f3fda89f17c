#include "tags/text_rules.h"

#include "version.h"

namespace vx::tags {

QString productName() {
    return QString::fromLatin1(kProductName);
}

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ') ++first;
    while (last > first && text.at(last - 1) == u' ') --last;
    return text.mid(first, last - first);
}

QString removeControls(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control) kept.append(c);
    }
    return kept;
}

QString removeNulls(const QString& text) {
    return trimBlanks(removeControls(text));
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString joinTitleArtist(const QString& title, const QString& artist) {
    if (title.isEmpty()) return artist;
    if (artist.isEmpty()) return title;
    return title + QStringLiteral(" - ") + artist;
}

}  // namespace vx::tags
