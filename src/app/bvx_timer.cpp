#include "app/bvx_timer.h"

#include <algorithm>
#include <limits>

namespace vx {

namespace {
constexpr int kUnderlyingInterval = 1000;  // what a fresh timer underneath runs at until told otherwise
}

BvxTimer::BvxTimer(Ticker& ticker) {
    timer_ = ticker.createTimer(kUnderlyingInterval, [this] {
        if (Timer) Timer();
    });
    timer_->setSingleShot(false);  // periodic ticks
}

BvxTimer::~BvxTimer() {
    timer_->setEnabled(false);
    timer_.reset();
}

void BvxTimer::setEnabled(bool value) {
    enabled_ = value;
    if (timer_->isEnabled() != value) timer_->setEnabled(value);
}

void BvxTimer::setInterval(std::int64_t value) {
    interval_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    if (timer_->interval() != interval_) timer_->setInterval(interval_);
}

void BvxTimer::setStats(int value) {
    stats_ = static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

}  // namespace vx
