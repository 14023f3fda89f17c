#pragma once

#include <optional>

#include "analysis/track_analysis.h"
#include "library/stored_analysis.h"

namespace vx {

// The one passage between what the analysis finds and what the track database keeps. The waveform
// summary travels as a versioned blob: a version byte, the point count (32-bit little-endian), then the
// peak and RMS bytes of each band in turn, low band first.
StoredAnalysis toStored(const analysis::TrackAnalysis& found);
// The database's record read back; nullopt when its blob is not one this program wrote (another
// version, a wrong length, an absurd point count): such a song is analysed again.
std::optional<analysis::TrackAnalysis> fromStored(const StoredAnalysis& stored);

}  // namespace vx
