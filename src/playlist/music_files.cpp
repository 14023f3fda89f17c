#include "playlist/music_files.h"

#include <QStringList>

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
}  // namespace

QString musicFileFilter() {
    QStringList endings;
    for (const char* e : kMusicEndings) endings << QString::fromLatin1(e);
    return "All music files (" + patterns(endings) + ");;Music Files (mp3,wav,asf,wma) (" +
           patterns({"mp3", "wav", "asf", "wma"}) + ");;All Files (*)";
}

}  // namespace vx::playlist
