#pragma once

#include <array>

namespace vx {

// The three panels of the main window and their left-to-right order for each DJ set-up:
// 0 "Club DJ " (decks either side of the mixer), 1 "Battle - Mixer on Left", 2 "Battle - Mixer on Right".
enum class Panel { LeftDeck, Mixer, RightDeck };

std::array<Panel, 3> panelOrder(int djSetup);  // set-ups outside 0..2 line up as 0

}  // namespace vx
