#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace vx {

// The two decks. The numbers are the console's deck numbers (0 left, 1 right).
enum class Side : int { Left = 0, Right = 1 };

// State of the main console that the decks, the mixer and the keyboard share. `selectedDeck` names the
// deck the last deck or cut action addressed (0 left, 1 right); the keyboard acts on it.
struct Console {
    int selectedDeck = 0;
};

// The LCD's edit arrows.
enum class EditArrow : int { Forward = 0, Back = 1, None = 2 };

// Everything a deck's LCD shows. The window copies it to the widget after every event and tick; the
// progress value is the one field the user can change too (Deck::setProgressByUser).
struct LcdState {
    QString title;
    QString lengthText;  // song length after a load, then the time left (display tick)
    QString timeText;    // time left after the loop end while a loop runs
    QString pitchText = QStringLiteral(" 0.00% ");
    QString bpmText;     // the tempo as it plays ("128.0 BPM"), empty until the analysis knows it
    int progress = 0;  // 0..100
    int mixMark = -1;  // where Auto DJ mixes over, in tenths of a per cent of the song; -1 none
    bool busy = false;
    bool play = false;
    bool pause = false;
    bool stop = false;
    bool cue = false;
    bool loop = false;
    EditArrow cueEditArrow = EditArrow::None;
    EditArrow loopEditArrow = EditArrow::None;
};

// Lit and enabled states of the deck's buttons; the window draws colours from them.
struct DeckLights {
    bool playCueLit = false;   // "Play previous Cue-point": a first cue has gone into the history
    bool pitchZeroLit = true;  // pitch exactly zero
    bool speed22Lit = false;
    bool speed44Lit = true;
    bool loopEnabled = true;       // "Loop - on the fly..."
    bool saveLoopEnabled = false;  // "Save loop..."
    bool playLoopEnabled = true;   // "Play - Saved loop"
    bool keyLockLit = false;
};

// Two bars of a level meter, each 0..32768.
struct MeterBars {
    int a = 0;
    int b = 0;
    bool operator==(const MeterBars&) const = default;
};

// The mixer values the meters read: levels are meaning (0..sliderMax, loudest at sliderMax).
struct MeterMix {
    int sliderMax = 100;
    int crossfader = 50;  // 0 left only .. sliderMax right only
    int mainVolume = 50;
    int leftLevel = 50;
    int rightLevel = 50;
};

// Options the decks read; owned by whoever loads the settings, shared by both decks.
struct DeckSettings {
    double pitchRange = 1.0;        // full slider travel is +-10 % times this
    int turntableStopSpeed = 4000;  // Hz taken off per braking tick
    int stutteringSpeed = 80;       // cue stutter interval, ms
    float eqBandwidth = 2.0f;       // octaves
    bool autoGain = false;          // each song brought to one loudness (see loudness_trim.h)
    QString loopFolder;             // ".../Velumix Loops", where loop files live
    QString productName = QStringLiteral("Velumix");
};

// A deck's four hot cues, slot 1 at index 0: seconds from the start of the song, or nothing.
using HotCueSlots = std::array<std::optional<double>, 4>;

// Where things lie in the loaded song, in seconds from its start, for the waveform displays.
struct DeckMarks {
    double lengthS = 0;
    double positionS = 0;
    std::optional<double> cueS;
    std::optional<double> loopStartS, loopEndS;  // the loop the deck holds, running or not
    std::optional<double> mixS;                  // where Auto DJ mixes over
    HotCueSlots hotCues;
    bool playing = false;
    bool endWarning = false;  // playing within the last kEndWarningS of the song
    static constexpr double kEndWarningS = 30;
    bool operator==(const DeckMarks&) const = default;
};

// What a deck asks of the rest of the program. Every hook may be left empty.
struct DeckHooks {
    std::function<void()> runVolumeTimer;  // the mixer gives both streams their volume and pan
    std::function<void()> resetVolume;     // a load sets the deck's volume to half
    std::function<QString(const QString& path)> titleFor;  // the file's tag text for the LCD title
    std::function<QString()> playlistPath;  // path of the current playlist entry ("" when none)
    std::function<QString()> addSongs;      // the playlist's add dialog; the last added path or ""
    std::function<bool()> autoDjOn;
    std::function<void(bool fileMissing)> autoDjLoadFailed;  // a load failed while Auto DJ runs
    std::function<void()> loadEnded;  // a load came to its end, loaded or not (it may end late)
    std::function<void()> playStarted;  // the deck asked its stream to play (or resume)
    std::function<void()> brakeEnded;                        // the turntable stop brought the deck to a halt
    std::function<void(const QString& message)> throwError;  // sound failure box with the failure code
    std::function<void()> beep;
    std::function<HotCueSlots(const QString& path)> hotCuesFor;  // the song's stored hot cues, read on load
    // A hot cue of the deck's song was set (seconds) or cleared (nothing); slot is 1..4.
    std::function<void(const QString& path, int slot, std::optional<double> seconds)> hotCueChanged;
};

}  // namespace vx
