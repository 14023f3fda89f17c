#include "playlist/music_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>

namespace vx::playlist {

namespace {
// Endings of the containers the decoder opens (its demuxer list), in both cases: the dialog matches names
// as they are written.
const char* const kMusicEndings[] = {"mp3", "wav", "wma", "asf", "flac", "ogg", "oga", "opus", "m4a", "aac",
                                     "aif", "aiff", "mka", "wv",  "ape", "mpc", "mp2", "ac3", "caf", "au",
                                     "tta", "dsf", "w64", "amr"};

QString patterns(const QStringList& endings) {
    QStringList all;
    for (const QString& e : endings) all << "*." + e << "*." + e.toUpper();
    return all.join(' ');
}
// The order a person reads names in, whatever the locale: case ignored, and a run of digits compared as a
// number, so "2 Song" comes before "10 Song".
bool readingOrder(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype si = i, sj = j;
            while (i < a.size() && a[i].isDigit()) ++i;
            while (j < b.size() && b[j].isDigit()) ++j;
            const qulonglong x = a.mid(si, i - si).toULongLong(), y = b.mid(sj, j - sj).toULongLong();
            if (x != y) return x < y;
            continue;
        }
        const QChar x = a[i].toCaseFolded(), y = b[j].toCaseFolded();
        if (x != y) return x < y;
        ++i, ++j;
    }
    return a.size() - i < b.size() - j;
}
}  // namespace

QString musicFileFilter() {
    QStringList endings;
    for (const char* e : kMusicEndings) endings << QString::fromLatin1(e);
    return "All music files (" + patterns(endings) + ");;Music Files (mp3,wav,asf,wma) (" +
           patterns({"mp3", "wav", "asf", "wma"}) + ");;All Files (*)";
}

QString songsStartFolder(const QString& stored) {
    if (!stored.isEmpty() && QFileInfo(stored).isDir()) return stored;
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
}

bool isMusicFileName(const QString& name) {
    const QString ending = QFileInfo(name).suffix();
    return std::any_of(std::begin(kMusicEndings), std::end(kMusicEndings), [&ending](const char* e) {
        return ending.compare(QLatin1String(e), Qt::CaseInsensitive) == 0;
    });
}

QStringList musicFilesIn(const QStringList& paths) {
    QStringList found;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isFile() && isMusicFileName(path)) {
            found << path;
        } else if (info.isDir()) {
            QStringList inFolder;
            QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
            while (it.hasNext()) {
                const QString file = it.next();
                if (isMusicFileName(file)) inFolder << file;
            }
            std::sort(inFolder.begin(), inFolder.end(), readingOrder);
            found << inFolder;
        }
    }
    return found;
}

}  // namespace vx::playlist
