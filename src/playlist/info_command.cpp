#include "playlist/info_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <utility>
#include <vector>

#include "playlist/m3u.h"
#include "tags/tag_texts.h"

namespace vx::playlist {

namespace {
// A value as JSON text (a document holds only arrays and objects: take it out of a one-element array).
QString json(const QJsonValue& value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// One JSON object on one line, its keys in the order given.
void writeLine(QTextStream& out, const std::vector<std::pair<QString, QJsonValue>>& fields) {
    QStringList members;
    for (const auto& [key, value] : fields) members << json(key) + u':' + json(value);
    out << u'{' << members.join(u',') << "}\n";
}
}  // namespace

int runInfoCommand(const QStringList& files, QTextStream& out) {
    for (const QString& file : files) {
        if (!isPlaylistFileName(file)) {
            const tags::TagTexts texts = tags::readTagTexts(file);
            writeLine(out, {{"file", file}, {"deck", texts.deck}, {"playlist", texts.playlist}});
            continue;
        }
        const QStringList songs = readM3u(file).value_or(QStringList());
        for (qsizetype i = 0; i < songs.size(); ++i) {
            const QString line =
                QString::number(i + 1) + QStringLiteral(".  ") + tags::getID3_tag(songs.at(i));
            writeLine(out, {{"playlist", file}, {"index", int(i)}, {"path", songs.at(i)}, {"line", line}});
        }
    }
    out.flush();
    return 0;
}

}  // namespace vx::playlist
