#include "playlist/info_command.h"

#include <QFile>
#include <utility>
#include <vector>

#include "playlist/m3u.h"
#include "services/json_text.h"
#include "tags/tag_texts.h"

namespace vx::playlist {

namespace {
using Fields = std::vector<std::pair<QString, QJsonValue>>;

// One JSON object on one line, its keys in the order given.
void writeLine(QTextStream& out, const Fields& fields) {
    QStringList members;
    for (const auto& [key, value] : fields) members << jsonText(key) + u':' + jsonText(value);
    out << u'{' << members.join(u',') << "}\n";
}

// The name as text, followed by "<key>_hex" with the name's bytes when the text does not give them back
// (a name that is not UTF-8), so that a script can still reach the file.
void addName(Fields& fields, const QString& key, const QString& text, const QByteArray& bytes) {
    fields.emplace_back(key, text);
    if (QFile::encodeName(text) != bytes)
        fields.emplace_back(key + QStringLiteral("_hex"), QString::fromLatin1(bytes.toHex()));
}

// Prints the entries of one playlist; false when it could not be read or a line was refused.
bool printPlaylist(const QByteArray& fileName, QTextStream& out) {
    const QString name = QFile::decodeName(fileName);
    QString error;
    const std::optional<M3uContents> contents = readM3uFile(fileName, &error);
    Fields head;
    addName(head, QStringLiteral("playlist"), name, fileName);
    if (!contents) {
        Fields line = head;
        line.emplace_back(QStringLiteral("error"), error);
        writeLine(out, line);
        return false;
    }
    for (std::size_t i = 0; i < contents->entries.size(); ++i) {
        const M3uEntry& entry = contents->entries[i];
        const tags::TagTexts texts = tags::tagTextsFrom(tags::readFileTagsAt(entry.fileName), entry.path);
        Fields line = head;
        line.emplace_back(QStringLiteral("index"), int(i));
        addName(line, QStringLiteral("path"), entry.path, entry.fileName);
        line.emplace_back(QStringLiteral("line"),
                          QString::number(i + 1) + QStringLiteral(".  ") + texts.playlist);
        writeLine(out, line);
    }
    for (const QString& rejected : contents->rejected) {
        Fields line = head;
        line.emplace_back(QStringLiteral("error"), rejected);
        writeLine(out, line);
    }
    return contents->rejected.isEmpty();
}
}  // namespace

int runInfoCommand(const QList<QByteArray>& fileNames, QTextStream& out) {
    bool allRead = true;
    for (const QByteArray& fileName : fileNames) {
        const QString name = QFile::decodeName(fileName);
        if (isPlaylistFileName(name)) {
            allRead = printPlaylist(fileName, out) && allRead;
            continue;
        }
        const tags::TagTexts texts = tags::tagTextsFrom(tags::readFileTagsAt(fileName), name);
        Fields line;
        addName(line, QStringLiteral("file"), name, fileName);
        line.emplace_back(QStringLiteral("deck"), texts.deck);
        line.emplace_back(QStringLiteral("playlist"), texts.playlist);
        writeLine(out, line);
    }
    out.flush();
    return allRead ? 0 : 1;
}

}  // namespace vx::playlist
