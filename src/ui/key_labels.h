#pragma once

#include <array>

#include "app/key_dispatch.h"

class QLabel;
class QWidget;

namespace vx {

// keyboardTXT(0..10): small labels over a corner of the controls they stand for, showing the keys of
// the map in force. Hidden until the keyboard shows them (F2); refresh() follows the model.
class KeyLabels {
  public:
    // The controls must be in place: each label finds its control by name once.
    KeyLabels(QWidget& window, const KeyDispatch& keys);

    void refresh();
    QLabel* label(int index) const { return labels_[static_cast<std::size_t>(index)]; }

  private:
    QWidget& window_;
    const KeyDispatch& keys_;
    std::array<QLabel*, KeyDispatch::kLabelCount> labels_{};
    std::array<const QWidget*, KeyDispatch::kLabelCount> anchors_{};
};

}  // namespace vx
