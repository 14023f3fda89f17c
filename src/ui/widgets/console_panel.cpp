#include "ui/widgets/console_panel.h"

#include <QLinearGradient>
#include <QPainter>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"

namespace vx::ui {

ConsolePanel::ConsolePanel(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {
    updateMargins();
}

void ConsolePanel::setCaption(const QString& caption) {
    caption_ = caption;
    updateMargins();
    update();
}

void ConsolePanel::setRecessed(bool recessed) {
    recessed_ = recessed;
    update();
}

void ConsolePanel::updateMargins() {
    setContentsMargins(8, caption_.isEmpty() ? 8 : 22, 8, 8);
}

void ConsolePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double k = dj::scaleOf(this);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (recessed_) {
        g.setColorAt(0.0, dj::shade(dj::kBackground, -10));
        g.setColorAt(1.0, QColor::fromRgba(dj::kBackground));
    } else {
        g.setColorAt(0.0, QColor::fromRgba(dj::kPanelRaised));
        g.setColorAt(1.0, QColor::fromRgba(dj::kPanel));
    }
    p.setPen(QPen(QColor::fromRgba(recessed_ ? dj::kBevelDark : dj::kBevelLight), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 7 * k, 7 * k);
    if (!caption_.isEmpty()) {
        p.setFont(dj::labelFont(dj::scaled(this, 10)));
        p.setPen(QColor::fromRgba(dj::kTextDim));
        p.drawText(QRectF(r.left() + 10 * k, r.top() + 3 * k, r.width() - 20 * k, 16 * k),
                   Qt::AlignLeft | Qt::AlignVCenter, caption_);
    }
}

}  // namespace vx::ui
