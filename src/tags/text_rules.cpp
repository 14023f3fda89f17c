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

QString removeNulls(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 32) kept.append(c);
    }
    return trimBlanks(kept);
}

QString fileNameOf(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return cut < 0 ? path : path.mid(cut + 1);
}

QString joinTitleArtist(const QString& title, const QString& artist) {
    if (title.isEmpty()) return artist;
    if (artist.isEmpty()) return title;
    return title + QStringLiteral(" - ") + artist;
}

}  // namespace vx::tags
