#pragma once

#include <array>

namespace vx {

// The three panels of the main window and their left-to-right order for each DJ set-up:
// 0 "Club DJ " (decks either side of the mixer), 1 "Battle - Mixer on Left", 2 "Battle - Mixer on Right".
enum class Panel { LeftDeck, Mixer, RightDeck };

std::array<Panel, 3> panelOrder(int djSetup);  // set-ups outside 0..2 line up as 0

struct PanelGeometry {
    int firstLeft = 0;  // left edge of the leftmost panel
    int gap = 0;        // space between neighbours
};

// Left edge of each panel (indexed by Panel) when the panels of the given widths (indexed by Panel) are
// lined up in the set-up's order: the first at firstLeft, each next at previous left + width + gap.
std::array<int, 3> panelLefts(int djSetup, const std::array<int, 3>& widths, PanelGeometry geometry);

}  // namespace vx
