#include "options/settings_holder.h"

#include <algorithm>

namespace vx {

void SettingsHolder::update(const Settings& settings) {
    const Settings before = settings_;
    settings_ = settings;
    // A copy: an observer may forget itself or another while it is told.
    const std::vector<Entry> observers = observers_;
    for (const Entry& e : observers) {
        const bool stillThere = std::any_of(observers_.begin(), observers_.end(),
                                            [&e](const Entry& o) { return o.id == e.id; });
        if (stillThere) e.observer(settings_, before);
    }
}

int SettingsHolder::observe(Observer observer) {
    observers_.push_back({nextId_, std::move(observer)});
    return nextId_++;
}

void SettingsHolder::forget(int id) {
    std::erase_if(observers_, [id](const Entry& e) { return e.id == id; });
}

}  // namespace vx
