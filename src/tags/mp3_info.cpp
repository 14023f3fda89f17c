#include "tags/mp3_info.h"

#include <QFileInfo>
#include <QStringList>

#include "tags/genres.h"
#include "tags/id3v1.h"
#include "tags/text_rules.h"

namespace vx::tags {

namespace {
qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

qsizetype countFolderSeparators(const QString& path) {
    return path.count(u'/') + path.count(u'\\');
}

bool readsAsNumber(const QString& piece) {
    bool ok = false;
    trimBlanks(piece).toDouble(&ok);
    return ok;
}

// The last folder name and the file name joined by " - ", so the folder is parsed as part of the name.
QString joinFolderAndFile(const QString& path) {
    const qsizetype cut = lastSeparator(path);
    return trimBlanks(path.left(cut)) + QStringLiteral(" - ") + trimBlanks(path.mid(cut + 1));
}

void parseParenthesisForm(QString name, GuessedFields& out) {
    const qsizetype close = name.indexOf(u')');
    if (close < 0) {  // no closing parenthesis: the rest of the name is the artist
        out.artist = name.mid(1);
        return;
    }
    out.artist = name.mid(1, close - 1);
    name = trimBlanks(name.mid(close + 1));
    const qsizetype dash = name.indexOf(u'-');
    if (name.startsWith(u'-')) {
        out.title = trimBlanks(name.mid(1));
    } else if (dash >= 0) {
        out.album = name.mid(dash + 1);
        out.title = name.left(dash);
    } else {
        out.title = name;
    }
}

void parseListForm(const QString& name, GuessedFields& out) {
    const QStringList pieces = name.split(QStringLiteral("- "));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString& piece = pieces.at(i);
        if (readsAsNumber(piece)) continue;
        if (out.artist.isEmpty()) {
            out.artist = piece;
        } else if (i > 0 && readsAsNumber(pieces.at(i - 1))) {
            if (out.title.isEmpty()) out.title = piece;
        } else if (out.album.isEmpty()) {
            out.album = piece;
        }
    }
}
}  // namespace

GuessedFields parseFileName(const QString& path) {
    GuessedFields out;
    QString name = path.mid(lastSeparator(path) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) name.truncate(dot);
    name = trimBlanks(name);
    if (!name.contains(u' ')) {
        out.title = QString(name).replace(u'_', u' ');
        return out;
    }
    name = trimBlanks(name.replace(u'_', u' '));
    if (name.startsWith(u'(') && name.count(u'-') < 3) {
        parseParenthesisForm(name, out);
    } else {
        parseListForm(name, out);
    }
    out.artist.remove(u'(').remove(u')');
    if (countFolderSeparators(path) >= 2 && !name.startsWith(u'(') && out.title.isEmpty()) {
        return parseFileName(joinFolderAndFile(path));
    }
    return out;
}

void Mp3Info::setFilename(const QString& path) {
    filename_ = path;
    const QString genreBefore = fields_.genre;
    fields_ = GuessedFields{};
    fields_.genre = genreBefore;
    const QString lower = path.toLower();
    const bool mpegName = lower.contains(QStringLiteral(".mp3")) || lower.contains(QStringLiteral(".mp2")) ||
                          lower.contains(QStringLiteral(".mp1"));
    isFileID3v1_ = mpegName && QFileInfo(path).isFile();
    if (!isFileID3v1_) return;
    if (const auto block = readId3v1(path)) {
        fields_ = {block->title,   block->artist, block->album,
                   block->comment, block->year,   genreName(block->genre)};
    } else {
        fields_ = parseFileName(path);
    }
}

QString Mp3Info::title() const {
    return trimBlanks(fields_.title);
}
QString Mp3Info::artist() const {
    return trimBlanks(fields_.artist);
}
QString Mp3Info::album() const {
    return trimBlanks(fields_.album);
}
QString Mp3Info::year() const {
    return trimBlanks(fields_.year);
}
QString Mp3Info::comment() const {
    return trimBlanks(fields_.comment);
}
QString Mp3Info::genre() const {
    return trimBlanks(fields_.genre);
}

}  // namespace vx::tags
