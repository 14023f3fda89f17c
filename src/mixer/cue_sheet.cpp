#include "mixer/cue_sheet.h"

#include <QDir>
#include <QFileInfo>

#include "tags/tag_reader.h"

namespace vx {

namespace {

constexpr int kMaxTracks = 99;
constexpr int kCueFramesPerSecond = 75;

// A text as the format can hold it: one line, no double quote, in double quotes.
QString quoted(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            clean += QLatin1Char('\'');
        else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                 c == QChar::ParagraphSeparator)
            clean += QLatin1Char(' ');
        else
            clean += c;
    }
    return QLatin1Char('"') + clean.simplified() + QLatin1Char('"');
}

}  // namespace

CueTrack cueTrackForFile(const QString& path) {
    CueTrack t;
    const tags::FileTags tags = tags::readFileTags(path);
    for (const auto* fields : {tags.id3v2 ? &*tags.id3v2 : nullptr, tags.id3v1 ? &*tags.id3v1 : nullptr}) {
        if (fields && tags::hasTitleOrArtist(*fields) && t.title.isEmpty() && t.performer.isEmpty()) {
            t.title = fields->title.trimmed();
            t.performer = fields->artist.trimmed();
        }
    }
    if (tags.wma && t.title.isEmpty() && t.performer.isEmpty()) {
        for (const tags::WmaEntry& e : *tags.wma) {
            if (e.key.compare(QStringLiteral("Title"), Qt::CaseInsensitive) == 0) t.title = e.value.trimmed();
            if (e.key.compare(QStringLiteral("Author"), Qt::CaseInsensitive) == 0)
                t.performer = e.value.trimmed();
        }
    }
    if (t.title.isEmpty()) t.title = QFileInfo(path).completeBaseName();
    return t;
}

QString cueTime(std::int64_t frame, int rate) {
    const std::int64_t cueFrames = std::max<std::int64_t>(frame, 0) * kCueFramesPerSecond / rate;
    const std::int64_t seconds = cueFrames / kCueFramesPerSecond;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(cueFrames % kCueFramesPerSecond, 2, 10, QLatin1Char('0'));
}

QString cueSheetText(const QString& audioFileName, const std::vector<CueTrack>& tracks, int rate) {
    QString text = QStringLiteral("FILE %1 WAVE\n").arg(quoted(audioFileName));
    int number = 0;
    for (const CueTrack& t : tracks) {
        if (++number > kMaxTracks) break;
        text += QStringLiteral("  TRACK %1 AUDIO\n").arg(number, 2, 10, QLatin1Char('0'));
        text += QStringLiteral("    TITLE %1\n").arg(quoted(t.title));
        if (!t.performer.trimmed().isEmpty())
            text += QStringLiteral("    PERFORMER %1\n").arg(quoted(t.performer));
        text += QStringLiteral("    INDEX 01 %1\n").arg(cueTime(t.startFrame, rate));
    }
    return text;
}

QString cueSheetPathFor(const QString& audioPath) {
    const QFileInfo info(audioPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".cue"));
}

std::optional<FileError> writeCueSheet(const QString& audioPath, const std::vector<CueTrack>& tracks,
                                       int rate, FileSystem& fs) {
    const QString text = cueSheetText(QFileInfo(audioPath).fileName(), tracks, rate);
    return writeFileAtomically(cueSheetPathFor(audioPath), text.toUtf8(), fs);
}

}  // namespace vx
