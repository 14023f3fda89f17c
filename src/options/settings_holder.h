#pragma once

#include <functional>
#include <vector>

#include "options/settings.h"

namespace vx {

// The settings the running program works with, and the one place that tells the models when they
// change. The deck, mixer, stream and playlist models observe it; the options dialog updates it. Values
// that only an output (re)start can use (device, quality, buffer, output latency, limiter) are read by
// the start-up alone, so changing them here changes nothing that runs. UI thread only.
class SettingsHolder {
  public:
    // Told after every update with the new values and the ones they replaced.
    using Observer = std::function<void(const Settings& now, const Settings& before)>;

    const Settings& get() const { return settings_; }
    // Replaces the settings without telling anyone (the start-up's first values).
    void reset(const Settings& settings) { settings_ = settings; }
    // Replaces the settings and tells every observer, in the order they came.
    void update(const Settings& settings);

    // The returned number forgets the observer again; an observer must be forgotten before it goes.
    int observe(Observer observer);
    void forget(int id);

  private:
    struct Entry {
        int id;
        Observer observer;
    };
    Settings settings_;
    std::vector<Entry> observers_;
    int nextId_ = 1;
};

}  // namespace vx
