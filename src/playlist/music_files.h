#pragma once

#include <QString>
#include <QStringList>

namespace vx::playlist {

// The file dialogs' filter for songs: first every kind of music file the decoder plays, then the classic
// four, then anything.
QString musicFileFilter();

// The folder the add-songs dialog starts in: `stored` while it is a folder, else the user's music folder
// (XDG_MUSIC_DIR), else the home folder.
QString songsStartFolder(const QString& stored);

// Whether the name ends in one of the endings of the decoder's music files, in any case.
bool isMusicFileName(const QString& name);

// The music files among `paths` in their order; a folder stands for the music files in it and in its
// subfolders, sorted by path. Other files and paths that do not exist are passed over.
QStringList musicFilesIn(const QStringList& paths);

}  // namespace vx::playlist
