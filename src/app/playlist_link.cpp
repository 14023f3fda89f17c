#include "app/playlist_link.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "app/app_lifecycle.h"
#include "playlist/m3u.h"
#include "playlist/music_files.h"
#include "services/command_line.h"

namespace vx {

ProgramPlaylist::ProgramPlaylist(AppLifecycle& lifecycle, SettingsStore& store, Options options)
    : lifecycle_(lifecycle), model_(lifecycle.dialogs(), store, cache_) {
    const Settings& s = lifecycle.settings();
    // Our own playlists folder is made on first use, so the save dialog has somewhere to start.
    if (s.playlistPath == lifecycle.paths().playlistsDir) QDir().mkpath(s.playlistPath);
    model_.setFolders({s.playlistPath, playlist::songsStartFolder(s.RecPath)});
    if (options.backgroundTags) {
        loader_ = std::make_unique<playlist::TagLoader>(cache_, options.tagThreads);
        model_.setTagLoader(loader_.get());
    }
    model_.addObserver(this);

    lifecycle_.setPlaylist(this);
    lifecycle_.streams().setRemoveFromPlaylist([this] { removeVanishedSong(); });
    lifecycle_.setAsyncTask([this] { load(); });
    settingsObserver_ = lifecycle_.settingsHolder().observe([this](const Settings& now, const Settings& before) {
        if (now.playlistPath != before.playlistPath) {
            model_.setFolders({now.playlistPath, playlist::songsStartFolder(now.RecPath)});
        }
    });
}

ProgramPlaylist::~ProgramPlaylist() {
    lifecycle_.settingsHolder().forget(settingsObserver_);
    lifecycle_.setAsyncTask(nullptr);
    lifecycle_.streams().setRemoveFromPlaylist(nullptr);
    lifecycle_.setPlaylist(nullptr);
    disconnect();
    model_.removeObserver(this);
    model_.setTagLoader(nullptr);  // the model lets go of the loader before the loader goes
}

void ProgramPlaylist::connect(DjConsole& console) {
    console_ = &console;
    console.setPlaylist(link());
    figures_ = std::make_unique<PlaylistFigures>(model_, console.tracks());
}

void ProgramPlaylist::disconnect() {
    if (console_ == nullptr) return;
    figures_.reset();
    console_->setPlaylist({});
    console_ = nullptr;
}

PlaylistLink ProgramPlaylist::link() {
    PlaylistLink l;
    l.count = [this] { return model_.count(); };
    l.position = [this] { return model_.playlistPosition; };
    l.select = [this](int index) { model_.select(index); };
    l.currentEntryPath = [this] { return model_.currentPath(); };
    l.currentEntryText = [this] { return model_.nextSongText; };
    l.addSongs = [this] {
        // A dialog that brings nothing back must not hand the deck an older song.
        model_.lastAddedSong.clear();
        model_.addSongs();
        return model_.lastAddedSong;
    };
    l.addSong = [this](const QString& path) {
        model_.loadsongs_to_playlist({path});
        model_.select(model_.count() - 1);
    };
    // The deck's title: the same reading as the playlist's, so a song read for its line is not read again.
    l.titleFor = [this](const QString& path) { return cache_.texts(path).deck; };
    return l;
}

void ProgramPlaylist::load() {
    if (loaded_) return;
    loaded_ = true;
    if (windowLoader_) windowLoader_();
    model_.startUp(lifecycle_.commandLineArgument());
    addFiles(lifecycle_.commandLineMore() + std::exchange(waiting_, {}));
    startLoading_ = model_.isLoading();
    startTotal_ = model_.pendingCount();
    if (!startLoading_) finishStartLoad();
}

void ProgramPlaylist::addFiles(const QStringList& files) {
    if (!loaded_) {
        waiting_ << files;
        return;
    }
    QStringList songs;
    for (const QString& file : files) {
        if (playlist::isPlaylistFileName(file)) {
            model_.loadsongs_to_playlist(std::exchange(songs, {}));
            model_.open_playlist(file);
        } else if (!musicFileFrom(file).isEmpty()) {
            songs << file;
        }
    }
    model_.loadsongs_to_playlist(songs);
}

void ProgramPlaylist::setStartProgress(std::function<void(int, bool)> progress) {
    startProgress_ = std::move(progress);
    if (startProgress_ && loaded_ && !startLoading_) startProgress_(startTotal_, true);
}

void ProgramPlaylist::finishStartLoad() {
    startLoading_ = false;
    if (startProgress_) startProgress_(startTotal_, true);
}

void ProgramPlaylist::loadProgress(int done, int total) {
    if (!startLoading_) return;
    if (total == 0) {
        finishStartLoad();
        return;
    }
    startTotal_ = std::max(startTotal_, total);
    if (startProgress_) startProgress_(done, false);
}

void ProgramPlaylist::nextSongChanged(const QString&, const QString&) {
    if (console_ != nullptr) console_->notifyChanged();
}

void ProgramPlaylist::songTagsChanged(const QString& path) {
    if (console_ != nullptr) console_->songTagsChanged(path);
}

// "Remove from Playlist?" was answered Yes for a song that could not be found: the playlist's remove runs
// (with its own question) on that song's entry, which need not be the one picked in the list: a song
// added by a deck's open button leaves the pick where it was.
void ProgramPlaylist::removeVanishedSong() {
    if (model_.count() == 0) return;
    const QString failed = console_ != nullptr ? console_->decks().selected().state().fileName : QString();
    if (!failed.isEmpty() && model_.currentPath() != failed) {
        const int index = int(model_.paths().indexOf(failed));
        if (index < 0) return;  // not a playlist song: there is nothing to remove
        model_.select(index);
    }
    model_.removeCurrent();
}

void ProgramPlaylist::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (loader_) loader_->cancelAll();
    // A playlist window that never loaded read nothing, so it leaves the remembered playlist alone.
    if (loaded_) model_.unload();
}

}  // namespace vx
