#pragma once

#include <functional>
#include <memory>

namespace vx {

// A periodic (or one-shot) timer that calls its tick on the UI thread. Models own timers through this
// interface; the program uses precise Qt timers, tests a fake whose ticks they fire by hand.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setSingleShot(bool singleShot) = 0;
};

class Ticker {
public:
    virtual ~Ticker() = default;
    // A new timer, disabled, with the given interval; `tick` runs on every expiry while enabled.
    virtual std::unique_ptr<Timer> createTimer(int milliseconds, std::function<void()> tick) = 0;
};

}  // namespace vx
