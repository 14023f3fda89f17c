#pragma once

#include "services/ticker.h"

namespace vx {

// Timers of the program: precise QTimers on the thread that creates them (the UI thread), so every tick
// runs there between events.
class QtTicker : public Ticker {
  public:
    std::unique_ptr<Timer> createTimer(int milliseconds, std::function<void()> tick) override;
};

}  // namespace vx
