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

}  // namespace vx
