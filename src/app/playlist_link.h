#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "app/dj_console.h"
#include "app/lifecycle_hooks.h"
#include "app/playlist_figures.h"
#include "playlist/playlist_model.h"
#include "playlist/tag_loader.h"
#include "tags/tag_cache.h"

namespace vx {

class AppLifecycle;
class SettingsStore;

// The running program's playlist: the tag cache, the playlist model with its background tag reader, and
// its links to the rest of the program. It answers the console's questions about the current entry, tells
// the console when the next song changes, removes an entry whose file vanished when the user agrees, asks
// exit to save unsaved changes, and loads the remembered playlist once the main window is up (tmrAsync).
// The windows only show it. UI thread only.
class ProgramPlaylist : public PlaylistSaveHook, private playlist::PlaylistObserver {
  public:
    struct Options {
        bool backgroundTags = true;  // false: tag texts are read at once (tests)
        int tagThreads = 0;          // 0: one per processor core
    };

    // `lifecycle` must have started and outlive this; so must `store`.
    ProgramPlaylist(AppLifecycle& lifecycle, SettingsStore& store, Options options);
    ProgramPlaylist(AppLifecycle& lifecycle, SettingsStore& store) : ProgramPlaylist(lifecycle, store, {}) {}
    ~ProgramPlaylist() override;
    ProgramPlaylist(const ProgramPlaylist&) = delete;
    ProgramPlaylist& operator=(const ProgramPlaylist&) = delete;

    playlist::PlaylistModel& model() { return model_; }
    tags::TagTextCache& cache() { return cache_; }

    // The console's view of the playlist. Wire before the console starts up (the command line's song
    // lands in the playlist there). `console` must outlive this link or be disconnected first.
    void connect(DjConsole& console);
    void disconnect();
    // The tempo, length and loudness columns, while connected to a console (null otherwise).
    PlaylistFigures* figures() { return figures_.get(); }
    PlaylistLink link();

    // The playlist window's load, run once by tmrAsync: `windowLoader` (if set) builds the window, then the
    // playlist named on the command line, or the remembered one, opens.
    void setWindowLoader(std::function<void()> windowLoader) { windowLoader_ = std::move(windowLoader); }
    void load();
    bool loaded() const { return loaded_; }
    // Music files and playlists join the playlist in their order (the command line's further files, and
    // those a later start hands over); other files are passed over. Before the load they wait for it.
    void addFiles(const QStringList& files);

    // Progress of the load at start: songs whose texts are read so far, and finished once every line has
    // its text (at once when there was nothing to load). Only the start-up load reports here.
    void setStartProgress(std::function<void(int done, bool finished)> progress);
    bool startLoading() const { return startLoading_; }

    // Program end: "Last Playlist" is stored and background reading stops. Runs once.
    void unload();

    // PlaylistSaveHook
    bool changed() const override { return model_.playlistChanged; }
    QString lastPlaylist() const override { return model_.lastPlaylist; }
    bool save() override { return model_.save_playlist(); }

  private:
    void removeVanishedSong();
    void finishStartLoad();

    // PlaylistObserver
    void nextSongChanged(const QString& path, const QString& line) override;
    void songTagsChanged(const QString& path) override;
    void loadProgress(int done, int total) override;

    AppLifecycle& lifecycle_;
    tags::TagTextCache cache_;
    playlist::PlaylistModel model_;
    std::unique_ptr<playlist::TagLoader> loader_;
    DjConsole* console_ = nullptr;
    std::unique_ptr<PlaylistFigures> figures_;
    std::function<void()> windowLoader_;
    std::function<void(int, bool)> startProgress_;
    QStringList waiting_;  // files given before the load
    bool loaded_ = false;
    bool unloaded_ = false;
    bool startLoading_ = false;
    int startTotal_ = 0;
    int settingsObserver_ = 0;
};

}  // namespace vx
