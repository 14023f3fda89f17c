// The playlist's file commands: adding songs, opening, importing, saving and forgetting playlist files,
// and the questions asked before changes are lost.
#include <QFile>
#include <QFileInfo>

#include "playlist/m3u.h"
#include "playlist/music_files.h"
#include "playlist/playlist_model.h"

namespace vx::playlist {

namespace {
const QString kDjPlaylist = QStringLiteral("DJ PLAYLIST");
const QString kLastPlaylistSetting = QStringLiteral("Last Playlist");
const QString kPlaylistFilter = QStringLiteral("Velumix Playlist File (*.m3u *.m3u8);;All files (*)");

QString folderOf(const QString& file) {
    return QFileInfo(file).absolutePath();
}
}  // namespace

void PlaylistModel::startUp(const QString& commandLine) {
    const QString argument = commandLine.trimmed();
    if (isPlaylistFileName(argument)) {
        Load_playlist(argument);
        setLabel(kDjPlaylist);
        return;
    }
    if (!argument.isEmpty()) return;  // a music file: the main window adds it
    lastPlaylist = settings_.read(kLastPlaylistSetting);
    if (lastPlaylist.size() >= 5 && lastPlaylist.compare(kSettingNotFound, Qt::CaseInsensitive) != 0) {
        playlistFileName = lastPlaylist;
        setLabelFromFile(lastPlaylist);
        playlistChanged = false;
        if (isPlaylistFileName(lastPlaylist)) {
            open_playlist(lastPlaylist);
            select(count() > 0 ? 0 : -1);
        }
    } else {
        lastPlaylist.clear();
        setLabel(kDjPlaylist);
    }
}

void PlaylistModel::unload() {
    settings_.write(kLastPlaylistSetting, lastPlaylist);
}

void PlaylistModel::loadsongs_to_playlist(const QStringList& songs) {
    if (songs.isEmpty()) return;
    playlistChanged = true;
    const int remembered = selected_ < 0 ? 0 : selected_;
    playlistPosition = count() - 1;
    for (const QString& song : songs) {
        ++playlistPosition;
        appendEntry(song, playlistPosition + 1);
    }
    lastAddedSong = path(playlistPosition);
    notifyReset();
    requestPendingTexts();
    select(remembered);
}

// A missing playlist passes silently (a remembered one may have been deleted); one that exists but is
// refused (a folder, FIFO, device, link loop, a file too large) or has refused lines is reported.
bool PlaylistModel::open_playlist(const QString& fileName) {
    QString error;
    const std::optional<M3uContents> songs = readM3uFile(QFile::encodeName(fileName), &error);
    if (!songs) {
        const QFileInfo info(fileName);
        if (info.exists() || info.isSymLink()) {
            dialogs_.message(
                QStringLiteral("Cannot open the playlist ") + fileName + QStringLiteral(": ") + error,
                QString(), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        }
        return false;
    }
    for (const M3uEntry& song : songs->entries) appendEntry(song.path, ++entryNumber);
    notifyReset();
    requestPendingTexts();
    if (!songs->entries.empty()) select(std::clamp(playlistPosition, 0, count() - 1));
    if (!songs->rejected.isEmpty()) {
        dialogs_.message(QStringLiteral("Some lines of the playlist ") + fileName +
                             QStringLiteral(" were skipped:\n") + songs->rejected.mid(0, 10).join(u'\n'),
                         QString(), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    }
    return true;
}

void PlaylistModel::Load_playlist(const QString& fileName) {
    if (fileName.isEmpty() || !isPlaylistFileName(fileName)) return;
    playlistChanged = false;
    replaceEntries({});
    playlistPosition = 0;
    entryNumber = 0;
    lastPlaylist = fileName;
    open_playlist(fileName);
    playlistFileName = lastPlaylist;
    setLabelFromFile(playlistFileName);
}

// Writes the list to playlistFileName. On failure the names are forgotten (after a message when there was
// a name), so that the caller's save flow asks for a new one.
bool PlaylistModel::writePlaylistFile() {
    if (!playlistFileName.isEmpty() && !isPlaylistFileName(playlistFileName)) {
        playlistFileName += QStringLiteral(".m3u");
    }
    if (playlistFileName.isEmpty() || !writeM3u(playlistFileName, paths())) {
        if (!playlistFileName.isEmpty()) {
            dialogs_.message(
                QStringLiteral("Cannot Save the playlist. Make sure the Drive you are writing to has "
                               "space and is not write protected."),
                QString(), Dialogs::Icon::None, Dialogs::Buttons::Ok);
            lastPlaylist.clear();
            playlistFileName.clear();
        }
        return false;
    }
    playlistChanged = false;
    lastPlaylist = playlistFileName;
    dialogs_.message(QStringLiteral("Playlist has been saved."), QString(), Dialogs::Icon::None,
                     Dialogs::Buttons::Ok);
    setLabelFromFile(playlistFileName);
    return true;
}

bool PlaylistModel::save_playlist() {
    return writePlaylistFile() || saveCommand();
}

bool PlaylistModel::saveCommand() {
    for (;;) {
        QString name = lastPlaylist;
        if (name.isEmpty()) {
            const auto chosen = dialogs_.saveFile({QStringLiteral("Save Playlist As..."), kPlaylistFilter,
                                                   playlistDir_, QStringLiteral("DJ Mix1")});
            if (!chosen) return false;
            name = *chosen;
            playlistDir_ = folderOf(name);
        }
        if (name.trimmed().isEmpty()) return false;
        playlistFileName = name;
        if (writePlaylistFile()) return true;
    }
}

void PlaylistModel::new_playlist() {
    if (count() > 0) {
        playlistChanged = true;
        replaceEntries({});
        playlistPosition = 0;
        select(-1);
    }
    playlistFileName.clear();
    lastPlaylist.clear();
    setLabel(kDjPlaylist);
}

bool PlaylistModel::hide_playlist() {
    if (playlistChanged) {
        const QString question = lastPlaylist.isEmpty() ? QStringLiteral("Save Playlist? ")
                                                        : QStringLiteral("Save Playlist to ") + lastPlaylist +
                                                              QStringLiteral(" ?");
        const auto answer = dialogs_.message(question, QStringLiteral("Save Playlist..."),
                                             Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
        if (answer == Dialogs::Answer::Cancel) return false;
        if (answer == Dialogs::Answer::Yes) save_playlist();
    }
    settings_.write(kLastPlaylistSetting, lastPlaylist);
    playlistFileName = lastPlaylist;
    return true;
}

void PlaylistModel::addSongs() {
    const auto chosen =
        dialogs_.openFiles({QStringLiteral("Load Music Files..."), musicFileFilter(), addDir_, QString()});
    if (!chosen) {
        lastAddedSong.clear();
        return;
    }
    if (chosen->isEmpty()) return;
    addDir_ = folderOf(chosen->constFirst());
    loadsongs_to_playlist(*chosen);
}

bool PlaylistModel::addDroppedFiles(const QStringList& paths) {
    const QStringList songs = musicFilesIn(paths);
    if (songs.isEmpty()) return false;
    loadsongs_to_playlist(songs);
    return true;
}

void PlaylistModel::newPlaylistCommand() {
    if (!playlistChanged) {
        if (dialogs_.message(QStringLiteral("Create New playlist?"), QStringLiteral("Please Confirm..."),
                             Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
            new_playlist();
            addSongs();
        }
        return;
    }
    const QString question = lastPlaylist.isEmpty() ? QStringLiteral("Save Playlist Changes? ")
                                                    : QStringLiteral("Save Playlist Changes to ") +
                                                          lastPlaylist + QStringLiteral(" ?");
    const auto answer =
        dialogs_.message(question, QString(), Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
    if (answer == Dialogs::Answer::Cancel) return;
    if (answer == Dialogs::Answer::Yes) save_playlist();
    new_playlist();
}

void PlaylistModel::openPlaylistCommand() {
    const auto chosen =
        dialogs_.openFile({QStringLiteral("Open Playlist..."), kPlaylistFilter, playlistDir_, {}});
    if (!chosen) return;
    Load_playlist(*chosen);
    playlistDir_ = folderOf(*chosen);
}

void PlaylistModel::importPlaylistCommand() {
    const auto chosen =
        dialogs_.openFile({QStringLiteral("Import Playlist..."), kPlaylistFilter, playlistDir_, {}});
    if (!chosen) return;
    playlistDir_ = folderOf(*chosen);
    if (!isPlaylistFileName(*chosen)) return;
    playlistChanged = true;
    entryNumber = count();
    const bool wasEmpty = count() == 0;
    if (wasEmpty) playlistPosition = 0;
    open_playlist(*chosen);
    if (wasEmpty && count() > 0) select(0);
}

}  // namespace vx::playlist
