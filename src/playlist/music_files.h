#pragma once

#include <QString>

namespace vx::playlist {

// The file dialogs' filter for songs: first every kind of music file the decoder plays, then the classic
// four, then anything.
QString musicFileFilter();

}  // namespace vx::playlist
