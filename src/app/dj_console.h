#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/auto_dj.h"
#include "app/key_dispatch.h"
#include "app/lifecycle_hooks.h"
#include "app/track_library.h"
#include "deck/deck_pair.h"
#include "deck/streams_transport.h"
#include "mixer/mixer_model.h"
#include "mixer/recording.h"
#include "services/song_opener.h"

namespace vx {

class AppLifecycle;
struct Settings;

// What the console needs of the playlist. Every member may stay empty: the console then has no
// current entry and the open buttons use the file picker themselves.
struct PlaylistLink {
    std::function<int()> count;                       // number of entries
    std::function<int()> position;                    // playlistPosition
    std::function<void(int index)> select;            // makes an entry the current one (next-song box)
    std::function<QString()> currentEntryPath;        // nextSongPath: path of the current entry
    std::function<QString()> currentEntryText;        // its display line
    std::function<QString()> addSongs;                // the playlist's add dialog; last added path or ""
    std::function<void(const QString&)> addSong;      // adds one file and makes it the current entry
    std::function<QString(const QString&)> titleFor;  // tag text of a file for the deck's title
};

// What the console's keys reach beyond its models. Every member may stay empty: the key then does nothing.
struct ConsoleActions {
    std::function<void()> autoDjToggle;  // Auto DJ on or off
    std::function<void()> openOptions;   // the options dialog
    std::function<void()> showPlaylist;  // the playlist window
    std::function<void()> showHelp;      // the manual
    std::function<void()> focusMixer;    // keyboard focus to the mixer panel
};

// The main console's models wired together: both decks, the mixer, the shared selectedDeck and the
// display timer, on the streams and settings of the running program. It answers the lifecycle's
// questions about the decks, so exit is refused while one plays. UI thread only.
class DjConsole : public DeckHandles {
  public:
    // `lifecycle` must have started (its settings, streams and timers exist) and outlive the console.
    // The songs' analysis runs at `analysisPriority` (see TrackLibrary).
    DjConsole(AppLifecycle& lifecycle, Ticker& ticker,
              QThread::Priority analysisPriority = QThread::LowestPriority);
    ~DjConsole() override;
    DjConsole(const DjConsole&) = delete;
    DjConsole& operator=(const DjConsole&) = delete;

    DeckPair& decks() { return decks_; }
    Deck& deck(Side side) { return decks_.deck(side); }
    MixerModel& mixer() { return mixer_; }
    Recording& recording() { return recording_; }
    Console& console() { return console_; }
    int selectedDeck() const { return console_.selectedDeck; }
    const DeckSettings& deckSettings() const { return deckSettings_; }
    const QString& productName() const { return deckSettings_.productName; }
    KeyDispatch& keys() { return keys_; }
    AutoDj& autoDj() { return autoDj_; }
    TrackLibrary& tracks() { return tracks_; }
    ConsoleActions& actions() { return actions_; }

    // Views: `changed` after any model change a view shows; `ticked` after every display tick.
    void setChangedHandler(std::function<void()> changed) { changed_ = std::move(changed); }
    void setTickHandler(std::function<void()> ticked) { ticked_ = std::move(ticked); }
    void notifyChanged() {
        if (changed_) changed_();
    }
    void setBeep(std::function<void()> beep);

    void setPlaylist(PlaylistLink link) { playlist_ = std::move(link); }
    const PlaylistLink& playlist() const { return playlist_; }

    // The console's start values: the key map read, mixer centred at half volume in stereo, pitch texts
    // shown, equalisers at rest; then the song of the command line goes into the left deck and plays.
    void startUp();
    // From now on songs are read and probed on workers, so the window never waits on a file (the program
    // turns this on; tests that want every load finished on return leave it off).
    void readSongsOffThread();

    // --- next-song box, Previous / Next Song
    QString nextSongText() const;
    void upCB_Click();    // Previous Song...
    void downCB_Click();  // Next Song...
    // A press on the next-song box starts dragging the current entry.
    void beginNextSongDrag() { dragging_ = true; }
    void cancelNextSongDrag() { dragging_ = false; }
    bool nextSongDragging() const { return dragging_; }
    // Something was dropped on a deck: the dragged entry loads there; anything else is refused.
    void dropOnDeck(Side side);
    // The tags of `path` were written: every deck holding it shows its new title.
    void songTagsChanged(const QString& path);
    // Files dropped from outside the program: the first music file among them loads on the deck; with
    // none, the drop is refused as any drop that is not the next song.
    void dropFilesOnDeck(Side side, const QStringList& files);
    // get_next_song: the current entry into the selected deck.
    void get_next_song();

    // Exit has been granted: nothing ticks any more and the decks let go of their streams.
    void shutDown();

    // DeckHandles
    audio::Handle streamHandle(int deck) const override;

  private:
    QString openSongs();
    MeterMix meterMix() const;
    Recording::Options recordingOptions() const;
    Recording::DeckHeard deckHeard(int deck);
    void settingsChanged(const Settings& now, const Settings& before);
    void displayTick();

    AppLifecycle& lifecycle_;
    DeckSettings deckSettings_;
    StreamsTransport transport_;
    Console console_;
    DeckPair decks_;
    TrackLibrary tracks_;  // after the decks: its deliveries reach them
    MixerModel mixer_;
    Recording recording_;
    PlaylistLink playlist_;
    ConsoleActions actions_;
    AutoDj autoDj_;
    KeyDispatch keys_;
    std::function<void()> changed_;
    std::function<void()> ticked_;
    std::function<void()> beep_;
    bool dragging_ = false;
    bool shutDown_ = false;
    int settingsObserver_ = 0;
    std::unique_ptr<SongOpener> opener_;  // goes first: its pending loads point into the decks
};

}  // namespace vx
