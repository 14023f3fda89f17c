#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "audio/audio_file_writer.h"
#include "audio/recorder.h"
#include "mixer/cue_sheet.h"

namespace vx {

class Dialogs;

// The live recording as the DJ works it: REC on and off, the time recorded so far, the file's name and
// folder, and the songs heard meanwhile, kept as a cue sheet beside the file.
//
// A song counts from the moment its deck is heard: the deck plays it and the deck's level after the
// crossfader and main volume is above zero. Each loaded song counts once, the first time it is heard
// while the recording runs (a pause and resume of it, or a jump back to its cue point, is the same song).
// UI thread only.
class Recording {
  public:
    // What the console tells of one deck.
    struct DeckHeard {
        std::uint32_t song = 0;  // identifies the loaded song (its stream); 0: none
        QString path;
        bool playing = false;
        bool audible = false;  // its level after the crossfader and main volume is above zero
    };

    struct Options {
        QString folder;  // where recordings go; made when missing
        audio::AudioFileFormat format = audio::AudioFileFormat::Flac;
        int rate = 44100;
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        // The cue entry of a song file (its tags); the file's name when empty.
        std::function<CueTrack(const QString& path)> describe;
    };

    Recording(audio::SoundLibrary& library, Dialogs& dialogs, Options options);
    ~Recording();

    void setDeckSource(std::function<DeckHeard(int deck)> source) { decks_ = std::move(source); }
    void setChangedHandler(std::function<void()> changed) { changed_ = std::move(changed); }

    // REC: starts a recording, or stops the one running.
    void toggle();
    // Starts recording to a new time-stamped file; false when it cannot (the reason was shown).
    bool start();
    // Stops; the file is completed over the next display ticks (or at once when no audio thread runs).
    void stop();
    // Stops and completes the file now (the program ends).
    void finish();

    // Lit: a recording runs.
    bool active() const { return recorder_.state() == audio::Recorder::State::Recording; }
    // The time recorded, "mm:ss" (or "h:mm:ss" past the hour); empty while none runs.
    QString elapsedText() const;
    const QString& filePath() const { return path_; }
    const std::vector<CueTrack>& tracks() const { return tracks_; }

    // The display tick: songs that became audible are counted, a failed write ends the recording with
    // a message, and a stopped recording's file is completed.
    void tick();
    // A deck started playing: counted at once when it is heard (the next ticks count it otherwise).
    void songStarted(int deck);

    // "Velumix YYYY-MM-DD HH-MM-SS.flac" (or .wav).
    static QString fileNameFor(const QDateTime& time, audio::AudioFileFormat format);

  private:
    void countHeardSongs();
    void completed();
    void writeCue();
    void changed() {
        if (changed_) changed_();
    }

    Dialogs& dialogs_;
    Options options_;
    audio::Recorder recorder_;
    std::function<DeckHeard(int)> decks_;
    std::function<void()> changed_;
    QString path_;
    std::vector<CueTrack> tracks_;
    std::array<std::uint32_t, 2> counted_{};  // the song each deck had counted
    QString lastElapsed_;
    bool reporting_ = false;  // a message box is open: ticks inside it must not report again
};

}  // namespace vx
