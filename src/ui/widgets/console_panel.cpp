#include "ui/widgets/console_panel.h"

#include <QLinearGradient>
#include <QPainter>

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
    p.drawRoundedRect(r, 7, 7);
    if (!caption_.isEmpty()) {
        p.setFont(dj::labelFont(10));
        p.setPen(QColor::fromRgba(dj::kTextDim));
        p.drawText(QRectF(r.left() + 10, r.top() + 3, r.width() - 20, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   caption_);
    }
}

}  // namespace vx::ui
