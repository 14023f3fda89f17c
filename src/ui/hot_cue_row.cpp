#include "ui/hot_cue_row.h"

#include <QHBoxLayout>
#include <QMouseEvent>

#include "ui/widgets/state_button.h"
#include "ui/widgets/waveform_image.h"

namespace vx {

using ui::StateButton;

HotCueRow::HotCueRow(Side side, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    const QString prefix = side == Side::Left ? QStringLiteral("hotCueL") : QStringLiteral("hotCueR");
    for (int slot = 1; slot <= 4; ++slot) {
        auto* key = new StateButton(QStringLiteral("HOT %1").arg(slot), StateButton::Style::Neutral, this);
        key->setObjectName(prefix + QString::number(slot));
        key->setToolTip(
            QStringLiteral("Hot cue %1: set it here, or jump to it (right click clears)").arg(slot));
        key->setMinimumHeight(24);
        key->setLedColour(ui::wave::kHotCue[slot - 1]);
        row->addWidget(key);
        keys_[static_cast<std::size_t>(slot - 1)] = key;
        key->installEventFilter(this);
        connect(key, &StateButton::clicked, this, [this, slot] {
            if (shiftedPress_)
                emit cleared(slot);
            else
                emit pressed(slot);
        });
        connect(key, &StateButton::mousePressed, this, [this, slot](Qt::MouseButton button) {
            if (button == Qt::RightButton) emit cleared(slot);
        });
    }
}

bool HotCueRow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        shiftedPress_ = static_cast<QMouseEvent*>(event)->modifiers() & Qt::ShiftModifier;
    return QWidget::eventFilter(watched, event);
}

void HotCueRow::refresh(const HotCueSlots& cues) {
    for (std::size_t i = 0; i < keys_.size(); ++i) keys_[i]->setLit(cues[i].has_value());
}

}  // namespace vx
