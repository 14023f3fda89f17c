#pragma once

#include <optional>

#include "deck/deck_types.h"

namespace vx {

// The hot cues of the song in one deck: four slots (1..4), each empty or a time in seconds from the
// start of the song. Plain values; the deck decides what a press does and who is told.
class HotCues {
  public:
    static constexpr int kSlots = 4;

    static bool validSlot(int slot) { return slot >= 1 && slot <= kSlots; }
    // Nothing for an empty slot or one out of range.
    std::optional<double> at(int slot) const { return validSlot(slot) ? slots_[slot - 1] : std::nullopt; }
    bool isSet(int slot) const { return at(slot).has_value(); }
    const HotCueSlots& all() const { return slots_; }

    // Pre: validSlot(slot). Negative times are taken as the start of the song.
    void set(int slot, double seconds);
    void clear(int slot);
    // A song's stored cues, taken as they are but for times that cannot be places in a song.
    void replace(const HotCueSlots& stored);

  private:
    HotCueSlots slots_;
};

}  // namespace vx
