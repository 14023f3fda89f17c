#include "tags/tag_texts.h"

#include "tags/text_rules.h"

namespace vx::tags {

namespace {
QString labelled(const TagFields& f, bool trimEach) {
    const auto v = [trimEach](const QString& s) { return trimEach ? removeNulls(s) : s; };
    return QStringLiteral("TITLE:  ") + v(f.title) + kFieldGap + QStringLiteral("ARTIST:  ") + v(f.artist) +
           kFieldGap + QStringLiteral("ALBUM:  ") + v(f.album) + kFieldGap + QStringLiteral("YEAR:  ") +
           v(f.year) + kFieldGap + QStringLiteral("COMMENT:  ") + v(f.comment) + kFieldGap + productName();
}

QString trimLeadingBlanks(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ') ++i;
    return text.mid(i);
}

QString wmaLabel(const QString& key) {
    if (key == u"TITLE") return QStringLiteral("TITLE:  ");
    if (key == u"AUTHOR") return QStringLiteral("AUTHOR:  ");
    if (key == u"WM/YEAR") return QStringLiteral("YEAR:  ");
    if (key == u"WM/ALBUMTITLE") return QStringLiteral("ALBUM:  ");
    if (key == u"COPYRIGHT") return QStringLiteral("COPYRIGHT:  ");
    return {};
}

TagTexts wmaTexts(const std::vector<WmaEntry>& list) {
    QString deck;
    QString title;
    QString author;
    for (const WmaEntry& entry : list) {
        const QString key = entry.key.trimmed().toUpper();
        const QString label = wmaLabel(key);
        if (label.isEmpty()) continue;
        const QString value = removeControls(entry.value);
        deck += kFieldGap + label + value;
        if (key == u"TITLE") title = value;
        if (key == u"AUTHOR") author = value;
    }
    deck += kFieldGap + productName();
    return {trimLeadingBlanks(deck), trimBlanks(joinTitleArtist(trimBlanks(title), trimBlanks(author)))};
}
}  // namespace

TagTexts tagTextsFrom(const FileTags& tags, const QString& path) {
    TagTexts texts;
    if (tags.id3v2 && hasTitleOrArtist(*tags.id3v2)) {
        const TagFields& f = *tags.id3v2;
        texts = {removeNulls(labelled(f, false)),
                 joinTitleArtist(removeNulls(f.title), removeNulls(f.artist))};
    } else if (tags.id3v1 && hasTitleOrArtist(*tags.id3v1)) {
        const TagFields& f = *tags.id3v1;
        texts = {labelled(f, true), joinTitleArtist(removeNulls(f.title), removeNulls(f.artist))};
    } else if (tags.wma) {
        texts = wmaTexts(*tags.wma);
    }
    if (texts.deck.isEmpty()) texts.deck = fileNameOf(path);
    if (texts.playlist.isEmpty()) texts.playlist = fileNameOf(path);
    return texts;
}

TagTexts readTagTexts(const QString& path) {
    return tagTextsFrom(readFileTags(path), path);
}

QString get_ID3_tag(const QString& path) {
    return readTagTexts(path).deck;
}
QString getID3_tag(const QString& path) {
    return readTagTexts(path).playlist;
}

}  // namespace vx::tags
