#include "playlist/info_command.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "playlist/m3u.h"
#include "tags/tag_texts.h"

namespace vx::playlist {

namespace {
void writeLine(QTextStream& out, const QJsonObject& object) {
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
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
            const QString line = QString::number(i + 1) + QStringLiteral(".  ") + tags::getID3_tag(songs.at(i));
            writeLine(out, {{"playlist", file}, {"index", int(i)}, {"path", songs.at(i)}, {"line", line}});
        }
    }
    out.flush();
    return 0;
}

}  // namespace vx::playlist
