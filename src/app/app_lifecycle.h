#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "app/app_paths.h"
#include "app/lifecycle_hooks.h"
#include "app/main_timers.h"
#include "app/sound_system.h"
#include "app/streams.h"
#include "audio/library_info.h"
#include "options/settings.h"

namespace vx {

class Dialogs;
class SettingsStore;
class Ticker;

// The program's life from the library checks to the shutdown of the sound system. It owns the sound
// system, the streams, the settings and the main window's timers; the windows ask it and show.
class AppLifecycle {
  public:
    enum class State { NotStarted, Running, Failed, ShutDown };

    AppLifecycle(audio::SoundLibrary& library, Dialogs& dialogs, SettingsStore& store, Ticker& ticker,
                 AppPaths paths, std::function<audio::LibraryInfo()> libraryInfo);
    ~AppLifecycle();

    // The library checks, then the load: timers, help, loops folder, settings, stale save temporaries,
    // sound system, buffer, running timers. False (state Failed) when the program must end; the reason has
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
    // every timer and the sound system and answers true: the windows may now close, last opened first.
    bool requestExit();
    // The main window goes away: the loop timers are released.
    void unload();

    // The manual to open for F1, or nullopt after telling the user why there is none.
    std::optional<QString> helpToOpen();
    // The desktop could not open the manual.
    void reportHelpNotOpened(const QString& file);

    void setDecks(const DeckHandles* decks) { decks_ = decks ? decks : &noDecks_; }
    void setPlaylist(PlaylistSaveHook* playlist) { playlist_ = playlist ? playlist : &noPlaylist_; }

    const AppPaths& paths() const { return paths_; }
    const QString& loopsFolder() const { return loopsFolder_; }
    const QString& helpFile() const { return helpFile_; }
    Settings& settings() { return settings_; }
    MainTimers* timers() { return timers_.get(); }
    SoundSystem& soundSystem() { return soundSystem_; }
    Streams& streams() { return streams_; }
    Dialogs& dialogs() { return dialogs_; }
    Ticker& ticker() { return ticker_; }

  private:
    bool load();
    void removeStaleSaves();
    bool anyDeckPlaying();

    audio::SoundLibrary& library_;
    Dialogs& dialogs_;
    SettingsStore& store_;
    Ticker& ticker_;
    AppPaths paths_;
    std::function<audio::LibraryInfo()> libraryInfo_;

    SoundSystem soundSystem_;
    Streams streams_;
    Settings settings_;
    std::unique_ptr<MainTimers> timers_;
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
