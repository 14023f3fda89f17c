#include "services/virtual_ticker.h"

#include <algorithm>
#include <limits>

namespace vx {

namespace {
class VirtualTimer : public Timer {
public:
    explicit VirtualTimer(std::shared_ptr<VirtualTicker::State> state) : state_(std::move(state)) {}
    ~VirtualTimer() override {
        state_->enabled = false;
        state_->alive = false;
    }
    void setInterval(int ms) override {
        ++state_->setIntervalCalls;
        state_->interval = ms;
    }
    int interval() const override { return state_->interval; }
    void setEnabled(bool on) override {
        ++state_->setEnabledCalls;
        if (on && !state_->enabled) state_->due = *state_->now + std::max(1, state_->interval);
        state_->enabled = on;
    }
    bool isEnabled() const override { return state_->enabled; }
    void setSingleShot(bool single) override { state_->singleShot = single; }

private:
    std::shared_ptr<VirtualTicker::State> state_;
};
}  // namespace

std::unique_ptr<Timer> VirtualTicker::createTimer(int milliseconds, std::function<void()> tick) {
    auto state = std::make_shared<State>();
    state->interval = milliseconds;
    state->tick = std::move(tick);
    state->now = &now_;
    timers_.push_back(state);
    return std::make_unique<VirtualTimer>(state);
}

bool VirtualTicker::fire(std::size_t i) {
    if (i >= timers_.size()) return false;
    auto state = timers_[i];
    if (!state->alive || !state->enabled) return false;
    if (state->singleShot) state->enabled = false;
    if (state->tick) state->tick();
    return true;
}

void VirtualTicker::advance(int milliseconds) {
    const int end = now_ + milliseconds;
    while (true) {
        std::size_t next = timers_.size();
        int when = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < timers_.size(); ++i) {
            if (timers_[i]->alive && timers_[i]->enabled && timers_[i]->due < when) {
                when = timers_[i]->due;
                next = i;
            }
        }
        if (next == timers_.size() || when > end) break;
        now_ = when;
        timers_[next]->due = when + std::max(1, timers_[next]->interval);
        fire(next);
    }
    now_ = end;
}

}  // namespace vx
