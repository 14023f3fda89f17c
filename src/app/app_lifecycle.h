#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "app/lifecycle_hooks.h"
#include "audio/library_info.h"
#include "options/settings_holder.h"
#include "services/app_paths.h"
#include "services/sound_system.h"
#include "services/streams.h"
#include "services/ticker.h"

namespace vx {

class Dialogs;
class SettingsStore;
class Ticker;

// The program's life from the library checks to the shutdown of the sound system. It owns the sound
// system, the streams, the settings and the one-shot start timer; the windows ask it and show.
class AppLifecycle {
  public:
    enum class State { NotStarted, Running, Failed, ShutDown };

    AppLifecycle(audio::SoundLibrary& library, Dialogs& dialogs, SettingsStore& store, Ticker& ticker,
                 AppPaths paths, std::function<audio::LibraryInfo()> libraryInfo);
    ~AppLifecycle();

    // The library checks, then the load: help, loops folder, settings (stored at once, first-run
    // defaults too), stale save temporaries, sound system, buffer, the start timer. False (state Failed) when the program must end; the reason has
    // been shown.
    bool start();
    // The exit code of a program whose start failed.
    int exitCode() const { return state_ == State::Failed ? 1 : 0; }
    State state() const { return state_; }

    // The command line's argument (a music file among it is kept for the left deck) and the further
    // files for the playlist.
    void setCommandLine(const QString& argument, const QStringList& more = {});
    const QString& commandLineArgument() const { return commandLineArgument_; }
    const QStringList& commandLineMore() const { return commandLineMore_; }
    const QString& commandLineSong() const { return commandLineSong_; }

    // Refused (false) while a deck plays or when the user cancels saving the playlist; otherwise stops
    // the start timer and the sound system and answers true: the windows may now close, last opened
    // first (the console stops its own timers as it shuts down).
    bool requestExit();
    // The main window goes away: the start timer is released.
    void unload();

    // tmrAsync: runs `task` once, 1 ms after the start (the playlist window's load). Empty: nothing runs.
    void setAsyncTask(std::function<void()> task) { asyncTask_ = std::move(task); }
    bool asyncPending() const { return tmrAsync_ && tmrAsync_->isEnabled(); }

    // The manual to open for F1, or nullopt after telling the user why there is none.
    std::optional<QString> helpToOpen();
    // The desktop could not open the manual.
    void reportHelpNotOpened(const QString& file);

    void setDecks(const DeckHandles* decks) { decks_ = decks ? decks : &noDecks_; }
    void setPlaylist(PlaylistSaveHook* playlist) { playlist_ = playlist ? playlist : &noPlaylist_; }

    const AppPaths& paths() const { return paths_; }
    const QString& loopsFolder() const { return loopsFolder_; }
    const QString& helpFile() const { return helpFile_; }
    const Settings& settings() const { return settings_.get(); }
    SettingsHolder& settingsHolder() { return settings_; }
    SettingsStore& store() { return store_; }
    audio::SoundLibrary& library() { return library_; }
    SoundSystem& soundSystem() { return soundSystem_; }
    Streams& streams() { return streams_; }
    Dialogs& dialogs() { return dialogs_; }
    Ticker& ticker() { return ticker_; }

  private:
    bool load();
    void removeStaleSaves();
    void settingsChanged(const Settings& now, const Settings& before);
    bool anyDeckPlaying();

    audio::SoundLibrary& library_;
    Dialogs& dialogs_;
    SettingsStore& store_;
    Ticker& ticker_;
    AppPaths paths_;
    std::function<audio::LibraryInfo()> libraryInfo_;

    SoundSystem soundSystem_;
    Streams streams_;
    SettingsHolder settings_;
    int settingsObserver_ = 0;
    std::unique_ptr<Timer> tmrAsync_;
    std::function<void()> asyncTask_;
    EmptyDecks noDecks_;
    NoPlaylistChanges noPlaylist_;
    const DeckHandles* decks_ = &noDecks_;
    PlaylistSaveHook* playlist_ = &noPlaylist_;

    State state_ = State::NotStarted;
    QString loopsFolder_;
    QString helpFile_;
    QString commandLineArgument_;
    QString commandLineSong_;
    QStringList commandLineMore_;
};

}  // namespace vx
