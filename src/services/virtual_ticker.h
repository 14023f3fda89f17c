#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "services/ticker.h"

namespace vx {

// Timers on a clock of their own that moves only when told: advance() lets time pass and ticks every
// timer that falls due, in time order. The offline mix runs its models on it, and tests fire ticks by hand.
class VirtualTicker : public Ticker {
public:
    struct State {
        int interval = 0;
        bool enabled = false;
        bool singleShot = false;
        bool alive = true;
        int setIntervalCalls = 0;
        int setEnabledCalls = 0;
        int due = 0;  // time of the next tick while enabled
        const int* now = nullptr;
        std::function<void()> tick;
    };

    std::unique_ptr<Timer> createTimer(int milliseconds, std::function<void()> tick) override;

    // Every timer created so far, in creation order.
    const std::vector<std::shared_ptr<State>>& timers() const { return timers_; }
    // Runs one tick of timer i if it is enabled and alive (a one-shot timer disables itself first).
    bool fire(std::size_t i);
    // Lets `milliseconds` pass: every enabled timer ticks as often as its interval fits, in time order.
    void advance(int milliseconds);

private:
    std::vector<std::shared_ptr<State>> timers_;
    int now_ = 0;
};

}  // namespace vx
