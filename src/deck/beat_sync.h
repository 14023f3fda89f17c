#pragma once

#include <QString>

namespace vx {

// What SYNC needs to know of one deck: its song's beat grid and how it plays now.
struct SyncView {
    double bpm = 0;          // the song's own tempo (0: none found)
    double beatOffsetS = 0;  // a beat of the grid, in song seconds
    double rate = 1;         // playback rate: 1 is the song's own speed
    double positionS = 0;    // the frame heard now, in song seconds
};

// How one deck follows the other: the rate that gives it the other's tempo (or its half or double,
// whichever lies nearest its own), and the jump that puts its beats on the other's.
struct SyncPlan {
    QString refusal;  // empty: the plan can be carried out
    double rate = 1;
    double jumpS = 0;  // song seconds to move the play head, less than half a beat either way
    double pitchPercent = 0;  // the rate as a pitch against `baseRate`
};

// `baseRate`: the rate of the deck's zero pitch (1, or 0.5 on the 22 kHz base); `rangePercent` how far the
// pitch reaches either way now, `widestPercent` the most any pitch range setting gives.
SyncPlan planSync(const SyncView& self, const SyncView& other, double baseRate, double rangePercent,
                  double widestPercent);

}  // namespace vx
