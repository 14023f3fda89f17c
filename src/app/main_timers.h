#pragma once

#include <functional>
#include <memory>

#include "app/bvx_timer.h"
#include "app/ticker.h"

namespace vx {

// Every timer of the main window, created disabled at their start intervals. Each tick calls the
// matching handler, which the models that own the work assign (an empty handler does nothing).
class MainTimers {
  public:
    struct Handlers {
        std::function<void()> trackLength, lcue, rcue, lTurntableStop, rTurntableStop, autoFade, xfader,
            async, lLoop, rLoop;
    };

    explicit MainTimers(Ticker& ticker);
    ~MainTimers();
    MainTimers(const MainTimers&) = delete;
    MainTimers& operator=(const MainTimers&) = delete;

    Handlers handlers;

    std::unique_ptr<Timer> tmrTrackLength;                        // 80 ms: displays
    std::unique_ptr<Timer> tmrLcue, tmrRcue;                      // 80 ms, then stutteringSpeed: cue stutter
    std::unique_ptr<Timer> tmrLTurntableStop, tmrRTurntableStop;  // 30 ms: braking
    std::unique_ptr<Timer> tmrAutoFade;                           // 100 ms: crossfader glide
    std::unique_ptr<Timer> tmrXfader;                             // 60 ms, then XFaderCutSpeed: cut flicker
    std::unique_ptr<Timer> tmrAsync;                              // 1 ms, one shot: loads the playlist window
    std::unique_ptr<BvxTimer> tmrLLoop, tmrRLoop;                 // 20 ms: loop playback

    // Stops every timer but tmrAsync (the exit sequence).
    void disableTimers();
    // Releases the two loop timers (the main window's unload).
    void terminateTimers();

  private:
    std::unique_ptr<Timer> make(Ticker& ticker, int milliseconds, std::function<void()> Handlers::*handler);
};

}  // namespace vx
