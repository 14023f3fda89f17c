#include "app/dj_console.h"

#include <QFileInfo>

#include "app/app_lifecycle.h"
#include "mixer/cue_sheet.h"
#include "playlist/music_files.h"
#include "services/dialogs.h"
#include "version.h"

namespace vx {

namespace {

DeckSettings deckSettingsFrom(const Settings& s, const QString& loopFolder) {
    DeckSettings d;
    d.pitchRange = s.pitchRange;
    d.turntableStopSpeed = s.TurntableStopSpeed;
    d.stutteringSpeed = s.stutteringSpeed;
    d.eqBandwidth = s.EQBandwidth;
    d.autoGain = s.AutoGain;
    d.loopFolder = loopFolder;
    d.productName = QString::fromLatin1(kProductName);
    return d;
}

// The add-songs dialog the open buttons fall back on while no playlist window serves them.
Dialogs::FileRequest addSongsRequest(const QString& startFolder) {
    Dialogs::FileRequest r;
    r.title = QStringLiteral("Load Music Files...");
    r.filter = playlist::musicFileFilter();
    r.initDir = startFolder;
    return r;
}

}  // namespace

DjConsole::DjConsole(AppLifecycle& lifecycle, Ticker& ticker, QThread::Priority analysisPriority)
    : lifecycle_(lifecycle),
      deckSettings_(deckSettingsFrom(lifecycle.settings(), lifecycle.loopsFolder())),
      transport_(lifecycle.streams()),
      decks_(lifecycle.streams().library(), transport_, lifecycle.dialogs(), ticker, console_, deckSettings_),
      tracks_(lifecycle.paths().libraryFile, lifecycle.dialogs(), analysisPriority),
      mixer_(lifecycle.streams().library(), ticker),
      recording_(lifecycle.streams().library(), lifecycle.dialogs(), recordingOptions()),
      autoDj_(decks_, mixer_, lifecycle.streams(), lifecycle.streams().library(), lifecycle.dialogs(), ticker,
              playlist_, [&lifecycle] { return lifecycle.settings().AutomixStart; }),
      keys_(*this) {
    autoDj_.setChangedHandler([this] { notifyChanged(); });
    actions_.autoDjToggle = [this] { autoDj_.autoDJCB_Click(); };
    recording_.setDeckSource([this](int deck) { return deckHeard(deck); });
    recording_.setChangedHandler([this] { notifyChanged(); });
    mixer_.setStreamSource([this](int deck) { return streamHandle(deck); });
    mixer_.setSelectDeckHandler([this](int deck) { console_.selectedDeck = deck; });
    mixer_.setChangedHandler([this] { notifyChanged(); });
    mixer_.setCutSpeed(lifecycle.settings().XFaderCutSpeed);

    for (Side side : {Side::Left, Side::Right}) {
        DeckHooks hooks;
        hooks.runVolumeTimer = [this] { mixer_.runVolumeTimer(); };
        hooks.resetVolume = [this, side] { mixer_.setDeckLevelToHalf(static_cast<int>(side)); };
        hooks.titleFor = [this](const QString& path) {
            return playlist_.titleFor ? playlist_.titleFor(path) : QFileInfo(path).completeBaseName();
        };
        hooks.playlistPath = [this] {
            return playlist_.currentEntryPath ? playlist_.currentEntryPath() : QString();
        };
        hooks.addSongs = [this] { return openSongs(); };
        hooks.autoDjOn = [this] { return autoDj_.on(); };
        hooks.autoDjLoadFailed = [this, side](bool) { autoDj_.loadFailed(side); };
        hooks.brakeEnded = [this, side] { autoDj_.brakeEnded(side); };
        hooks.throwError = [this](const QString& message) { lifecycle_.soundSystem().ThrowError(message); };
        hooks.loadEnded = [this, side] {
            const DeckState& loaded = deck(side).state();
            if (loaded.streamHandle != 0) tracks_.request(loaded.fileName, true);
            autoDj_.loadEnded(side, loaded.streamHandle != 0);
            notifyChanged();
        };
        hooks.playStarted = [this, side] { recording_.songStarted(static_cast<int>(side)); };
        hooks.hotCuesFor = [this](const QString& path) { return tracks_.hotCues(path); };
        hooks.hotCueChanged = [this](const QString& path, int slot, std::optional<double> seconds) {
            const bool kept = seconds ? tracks_.setHotCue(path, slot, *seconds) : tracks_.clearHotCue(path, slot);
            // The deck shows the change either way; the DJ must know it will not come back with the song.
            if (!kept)
                lifecycle_.dialogs().message(
                    QStringLiteral("The hot cue could not be stored, so it will be gone when the song is loaded "
                                   "again."),
                    QStringLiteral("Hot cues"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        };
        hooks.beep = [this] {
            if (beep_) beep_();
        };
        decks_.deck(side).setHooks(std::move(hooks));
    }
    tracks_.setDeliverer([this](const QString& path, const TrackLibrary::Found& found) {
        for (Side side : {Side::Left, Side::Right}) deck(side).setAnalysis(path, found);
        notifyChanged();
    });
    decks_.setMixSource([this] { return meterMix(); });
    decks_.setAfterTick([this](int, int) {
        autoDj_.checkMixPoints();
        mixer_.pollLimiter();
        recording_.tick();
        if (ticked_) ticked_();
    });

    settingsObserver_ = lifecycle_.settingsHolder().observe(
        [this](const Settings& now, const Settings& before) { settingsChanged(now, before); });
    lifecycle_.setDecks(this);
}

DjConsole::~DjConsole() {
    lifecycle_.settingsHolder().forget(settingsObserver_);
    lifecycle_.setDecks(nullptr);
}

// The cut timer takes its interval, both decks their pitch (left first) and the cue timers theirs; the
// equalisers are rebuilt when their bandwidth or mode changed.
void DjConsole::settingsChanged(const Settings& now, const Settings& before) {
    deckSettings_ = deckSettingsFrom(now, deckSettings_.loopFolder);
    mixer_.setCutSpeed(now.XFaderCutSpeed);
    decks_.applySettings();
    if (now.Headphones != before.Headphones) mixer_.runVolumeTimer();  // the mix onto the new route
    if (now.EQBandwidth != before.EQBandwidth || now.EQMode != before.EQMode) decks_.adjust_EQBandwidth();
    notifyChanged();
}

void DjConsole::setBeep(std::function<void()> beep) {
    beep_ = std::move(beep);
}

audio::Handle DjConsole::streamHandle(int deck) const {
    auto& decks = const_cast<DeckPair&>(decks_);
    return decks.deck(deck == 1 ? Side::Right : Side::Left).state().streamHandle;
}

Recording::Options DjConsole::recordingOptions() const {
    Recording::Options o;
    o.folder = lifecycle_.paths().recordingsDir;
    o.format = lifecycle_.settings().RecordFormat;
    o.rate = static_cast<int>(lifecycle_.settings().outputFrequency);
    o.describe = [](const QString& path) { return cueTrackForFile(path); };
    return o;
}

// A deck is heard while it plays and its level after the crossfader and main volume is above zero.
Recording::DeckHeard DjConsole::deckHeard(int deck) {
    const DeckState& s = decks_.deck(deck == 1 ? Side::Right : Side::Left).state();
    Recording::DeckHeard heard;
    heard.song = s.streamHandle;
    heard.path = s.fileName;
    heard.playing = s.streamHandle != 0 && lifecycle_.streams().isStreamPlaying(s.streamHandle);
    heard.audible = (deck == 1 ? mixer_.rightOutputLevel() : mixer_.leftOutputLevel()) > 0;
    return heard;
}

MeterMix DjConsole::meterMix() const {
    MeterMix mix;
    mix.sliderMax = mixer_.sliderMax();
    mix.crossfader = mixer_.crossfader();
    mix.mainVolume = mixer_.mainVolume();
    mix.leftLevel = mixer_.deckLevel(MixerModel::kLeftDeck);
    mix.rightLevel = mixer_.deckLevel(MixerModel::kRightDeck);
    return mix;
}

void DjConsole::readSongsOffThread() {
    opener_ = std::make_unique<SongOpener>(lifecycle_.streams());
    transport_.setOpener(opener_.get());
}

void DjConsole::startUp() {
    keys_.load(lifecycle_.paths().keysFile, lifecycle_.dialogs());
    mixer_.startUp();
    decks_.applySettings();  // stutter speed, and the pitch shown on both LCDs
    decks_.startDisplay();

    const QString song = lifecycle_.commandLineSong();
    if (!song.isEmpty()) {
        if (playlist_.addSong) playlist_.addSong(song);
        Deck& left = decks_.left();
        if (left.loadSong(song)) left.play_Click();
    }
    notifyChanged();
}

QString DjConsole::openSongs() {
    if (playlist_.addSongs) return playlist_.addSongs();
    const auto files = lifecycle_.dialogs().openFiles(
        addSongsRequest(playlist::songsStartFolder(lifecycle_.settings().RecPath)));
    if (!files || files->isEmpty()) return {};
    if (playlist_.addSong) {
        for (const QString& f : *files) playlist_.addSong(f);
    }
    return files->last();
}

QString DjConsole::nextSongText() const {
    return playlist_.currentEntryText ? playlist_.currentEntryText() : QString();
}

void DjConsole::upCB_Click() {
    if (!playlist_.count || !playlist_.position || !playlist_.select) return;
    const int n = playlist_.count();
    const int pos = playlist_.position();
    if (pos < 1) {
        if (n > 0) playlist_.select(n - 1);
    } else {
        playlist_.select(pos - 1);
    }
    notifyChanged();
}

void DjConsole::downCB_Click() {
    if (!playlist_.count || !playlist_.position || !playlist_.select) return;
    const int n = playlist_.count();
    if (n <= 0) return;
    const int pos = playlist_.position();
    playlist_.select(pos + 1 < n ? pos + 1 : 0);
    notifyChanged();
}

void DjConsole::dropOnDeck(Side side) {
    std::optional<QString> dragged;
    const int entries = playlist_.count ? playlist_.count() : 0;
    if (dragging_ && entries > 0 && playlist_.currentEntryPath) dragged = playlist_.currentEntryPath();
    // The drag is over with the drop, whatever it brought: a later drop of something else must not
    // load the old entry.
    dragging_ = false;
    deck(side).dropOnDeck(dragged);
    notifyChanged();
}

void DjConsole::dropFilesOnDeck(Side side, const QStringList& files) {
    dragging_ = false;
    for (const QString& file : files) {
        if (QFileInfo(file).isFile()) return deck(side).dropOnDeck(file);
    }
    deck(side).dropOnDeck(std::nullopt);
}

void DjConsole::songTagsChanged(const QString& path) {
    for (Side side : {Side::Left, Side::Right}) deck(side).songTagsChanged(path);
    notifyChanged();
}

void DjConsole::get_next_song() {
    const QString path = playlist_.currentEntryPath ? playlist_.currentEntryPath() : QString();
    Deck& d = decks_.selected();
    d.setFileName(path);
    d.init_Player();
    notifyChanged();
}

void DjConsole::shutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    recording_.finish();
    decks_.stopDisplay();
    autoDj_.stopFade();
    if (mixer_.cutRunning()) mixer_.releaseCut();
    decks_.left().release();
    decks_.right().release();
}

}  // namespace vx
