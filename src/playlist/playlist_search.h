#pragma once

#include <QString>

#include "playlist/playlist_model.h"
#include "services/dialogs.h"

namespace vx::playlist {

// Finds a song by a piece of its display line (number included, any letter case) and makes it the
// current entry. Find Next and Previous go on from the last find; a press that reaches the end of its
// direction reports "Can't find the song", and the next press starts again from the other end.
class PlaylistSearch {
  public:
    PlaylistSearch(PlaylistModel& playlist, Dialogs& dialogs) : playlist_(playlist), dialogs_(dialogs) {}

    // Each returns true when an entry was found. A text of blanks only does nothing.
    bool findFirst(const QString& text);
    bool findNext(const QString& text);
    bool findPrevious(const QString& text);

    int searchIndex() const { return index_; }
    bool found() const { return found_; }

  private:
    bool matches(int i, const QString& text) const;
    bool finish(bool hit);

    PlaylistModel& playlist_;
    Dialogs& dialogs_;
    int index_ = 0;
    bool found_ = false;
};

}  // namespace vx::playlist
