#pragma once

#include <QWidget>
#include <array>

#include "deck/deck_types.h"

namespace vx {

namespace ui {
class StateButton;
}

// The hot-cue keys of one deck, slots 1..4 (named hotCueL1.. or hotCueR1..): a click is the deck's
// hot-cue press; a right click or a Shift+click clears. A key is lit while its slot holds a cue.
class HotCueRow : public QWidget {
    Q_OBJECT
  public:
    HotCueRow(Side side, QWidget* parent = nullptr);

    void refresh(const HotCueSlots& cues);

  signals:
    void pressed(int slot);
    void cleared(int slot);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::array<ui::StateButton*, 4> keys_{};
    bool shiftedPress_ = false;  // the press that leads to a click held Shift
};

}  // namespace vx
