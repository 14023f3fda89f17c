#include "deck/hot_cues.h"

#include <algorithm>
#include <cmath>

namespace vx {

void HotCues::set(int slot, double seconds) {
    if (!validSlot(slot) || !std::isfinite(seconds)) return;
    slots_[slot - 1] = std::max(0.0, seconds);
}

void HotCues::clear(int slot) {
    if (validSlot(slot)) slots_[slot - 1].reset();
}

void HotCues::replace(const HotCueSlots& stored) {
    for (int slot = 1; slot <= kSlots; ++slot) {
        const std::optional<double>& s = stored[slot - 1];
        if (s && std::isfinite(*s))
            set(slot, *s);
        else
            clear(slot);
    }
}

}  // namespace vx
