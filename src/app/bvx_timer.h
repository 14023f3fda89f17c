#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "app/ticker.h"

namespace vx {

// A periodic timer with remembered properties. The three properties start as Enabled false, Interval
// 1000 and Stats 20 without telling the timer underneath; assigning a property passes it on only when
// the timer underneath holds another value. Destruction stops the ticks before the timer is released.
// Stats is a tuning value kept for the owner (the Qt timers need none).
class BvxTimer {
  public:
    explicit BvxTimer(Ticker& ticker);
    ~BvxTimer();
    BvxTimer(const BvxTimer&) = delete;
    BvxTimer& operator=(const BvxTimer&) = delete;

    bool Enabled() const { return enabled_; }
    void setEnabled(bool value);
    std::int32_t Interval() const { return interval_; }
    void setInterval(std::int64_t value);
    std::int16_t Stats() const { return stats_; }
    void setStats(int value);

    // Runs on every tick (UI thread) while enabled.
    std::function<void()> Timer;

  private:
    std::unique_ptr<vx::Timer> timer_;
    bool enabled_ = false;
    std::int16_t stats_ = 20;
    std::int32_t interval_ = 1000;
};

}  // namespace vx
