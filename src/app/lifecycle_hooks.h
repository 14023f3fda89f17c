#pragma once

#include <QString>

#include "audio/sound_library.h"

namespace vx {

// What start-up and exit need to know about the decks: the stream each one holds (0 for none).
class DeckHandles {
  public:
    virtual ~DeckHandles() = default;
    virtual audio::Handle streamHandle(int deck) const = 0;  // 0 left, 1 right
};

// Two empty decks: what the program has until the decks are built.
class EmptyDecks : public DeckHandles {
  public:
    audio::Handle streamHandle(int) const override { return 0; }
};

// What exit needs of the playlist: whether it has unsaved changes and how to save it.
class PlaylistSaveHook {
  public:
    virtual ~PlaylistSaveHook() = default;
    virtual bool changed() const = 0;
    virtual QString lastPlaylist() const = 0;  // empty when the playlist has no file yet
    virtual bool save() = 0;
};

// A playlist that never has anything to save.
class NoPlaylistChanges : public PlaylistSaveHook {
  public:
    bool changed() const override { return false; }
    QString lastPlaylist() const override { return {}; }
    bool save() override { return true; }
};

}  // namespace vx
