#pragma once

namespace vx::audio {

// Lets a test watch the audio thread at work: told when an output's thread enters its callback and when it
// leaves it, on that thread. Pre: entered() and left() keep the callback's own rules (no lock, no
// allocation); the observer outlives every output started while it is set.
class CallbackObserver {
  public:
    virtual void entered() = 0;  // audio thread
    virtual void left() = 0;     // audio thread

  protected:
    ~CallbackObserver() = default;
};

// Audio thread: marks one callback for `observer` (none: costs nothing more than the caller's load).
class CallbackScope {
  public:
    explicit CallbackScope(CallbackObserver* observer) : observer_(observer) {
        if (observer_) observer_->entered();
    }
    ~CallbackScope() {
        if (observer_) observer_->left();
    }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

  private:
    CallbackObserver* observer_;
};

}  // namespace vx::audio
