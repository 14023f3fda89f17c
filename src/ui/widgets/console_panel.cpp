#include "ui/widgets/console_panel.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"

namespace vx::ui {

ConsolePanel::ConsolePanel(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {
    setRecessed(false);
    updateMargins();
}

void ConsolePanel::setCaption(const QString& caption) {
    caption_ = caption;
    updateMargins();
    update();
}

void ConsolePanel::setRecessed(bool recessed) {
    recessed_ = recessed;
    // A raised plate paints its corners in the colour behind it, so the window need not paint under
    // it first: most of a console's area is plates, and filling it twice doubled the cost of a resize.
    setAttribute(Qt::WA_OpaquePaintEvent, !recessed);
    update();
}

void ConsolePanel::updateMargins() {
    setContentsMargins(8, caption_.isEmpty() ? 8 : 22, 8, 8);
}

void ConsolePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const double k = dj::scaleOf(this);
    if (!recessed_) {
        // The frame outside the rounded plate, in solid strips: the edges and the four corner squares.
        const QColor behind = parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                             : palette().color(QPalette::Window);
        const int edge = 2, corner = int(std::ceil(7 * k)) + edge;
        const int w = width(), h = height();
        for (const QRect& strip : {QRect(0, 0, w, edge), QRect(0, h - edge, w, edge), QRect(0, 0, edge, h),
                                   QRect(w - edge, 0, edge, h), QRect(0, 0, corner, corner),
                                   QRect(w - corner, 0, corner, corner), QRect(0, h - corner, corner, corner),
                                   QRect(w - corner, h - corner, corner, corner)})
            p.fillRect(strip, behind);
    }
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
    dj::drawPlate(p, r, 7 * k, QColor::fromRgba(recessed_ ? dj::kBevelDark : dj::kBevelLight), g);
    if (!caption_.isEmpty()) {
        p.setFont(dj::labelFont(dj::scaled(this, 10)));
        p.setPen(QColor::fromRgba(dj::kTextDim));
        p.drawText(QRectF(r.left() + 10 * k, r.top() + 3 * k, r.width() - 20 * k, 16 * k),
                   Qt::AlignLeft | Qt::AlignVCenter, caption_);
    }
}

}  // namespace vx::ui
