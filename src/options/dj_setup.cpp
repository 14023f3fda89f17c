#include "options/dj_setup.h"

namespace vx {

std::array<Panel, 3> panelOrder(int djSetup) {
    switch (djSetup) {
        case 1:
            return {Panel::Mixer, Panel::LeftDeck, Panel::RightDeck};
        case 2:
            return {Panel::LeftDeck, Panel::RightDeck, Panel::Mixer};
        default:
            return {Panel::LeftDeck, Panel::Mixer, Panel::RightDeck};
    }
}

std::array<int, 3> panelLefts(int djSetup, const std::array<int, 3>& widths, PanelGeometry geometry) {
    std::array<int, 3> lefts{};
    int left = geometry.firstLeft;
    for (const Panel panel : panelOrder(djSetup)) {
        const auto i = static_cast<std::size_t>(panel);
        lefts[i] = left;
        left += widths[i] + geometry.gap;
    }
    return lefts;
}

}  // namespace vx
