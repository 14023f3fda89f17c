#pragma once

#include "audio/sound_library.h"
#include "deck/deck_state.h"
#include "deck/deck_transport.h"
#include "deck/deck_types.h"
#include "services/dialogs.h"
#include "services/ticker.h"

namespace vx {

// What the feature classes of one deck share: its state, its display, the outside services and a few
// helpers that speak to the deck's own stream. UI thread only.
struct DeckContext {
    DeckContext(Side side, audio::SoundLibrary& library, DeckTransport& transport, Dialogs& dialogs,
                Ticker& ticker, Console& console, const DeckSettings& settings)
        : side(side),
          library(library),
          transport(transport),
          dialogs(dialogs),
          ticker(ticker),
          console(console),
          settings(settings) {}

    const Side side;
    DeckState state;
    LcdState lcd;
    DeckLights lights;
    DeckHooks hooks;

    audio::SoundLibrary& library;
    DeckTransport& transport;
    Dialogs& dialogs;
    Ticker& ticker;
    Console& console;
    const DeckSettings& settings;

    bool hasStream() const { return state.streamHandle != 0; }
    void select() { console.selectedDeck = static_cast<int>(side); }

    bool isPlaying();
    std::int64_t position();
    bool seek(std::int64_t bytes);
    bool playStream();
    bool resumeStream();
    // Current playback frequency of the stream (0 when there is none).
    int frequency();
    // The engine's wrap region for the running loop (cleared when no loop runs).
    void applyLoopRegion();

    void runVolumeTimer();
    bool autoDjOn() const { return hooks.autoDjOn && hooks.autoDjOn(); }
    // The sound failure box: the message, a blank line and the library's failure code.
    void throwError(const QString& message);
};

}  // namespace vx
