#include "ui/widgets/state_button.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/dj_palette.h"

namespace vx::ui {

StateButton::StateButton(const QString& text, Style style, QWidget* parent)
    : QAbstractButton(parent), style_(style) {
    setText(text);
    setFont(dj::labelFont(11));
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
    setAttribute(Qt::WA_Hover);
}

void StateButton::setStyle(Style style) {
    style_ = style;
    update();
}

void StateButton::setLit(bool lit) {
    if (lit_ == lit) return;
    lit_ = lit;
    update();
}

QColor StateButton::faceColour() const {
    switch (style_) {
        case Style::Green:
            return QColor::fromRgba(lit_ ? dj::kLitGreen : dj::kDarkGreen);
        case Style::Kill:
            return QColor::fromRgba(lit_ ? dj::kKillRed : dj::kKillDark);
        case Style::Neutral:
            break;
    }
    return QColor::fromRgba(dj::kPanelRaised);
}

QSize StateButton::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(std::max(48, fm.horizontalAdvance(text()) + 20), 30);
}

QSize StateButton::minimumSizeHint() const {
    return QSize(24, 20);
}

void StateButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) p.setOpacity(0.4);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const bool down = isDown();
    const QColor face = faceColour();
    const bool glowing = lit_ && style_ != Style::Neutral;

    // Bezel, then the key face: a soft gradient, pressed keys sit lower and darker.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(dj::kBevelDark));
    p.drawRoundedRect(r.adjusted(-1, -1, 1, 1), 5, 5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const int hover = underMouse() && !down ? 10 : 0;
    g.setColorAt(0.0, face.lighter(down ? 100 : 125 + hover));
    g.setColorAt(1.0, face.darker(down ? 140 : 110 - hover));
    p.setBrush(g);
    p.setPen(QPen(glowing ? face.lighter(150) : QColor::fromRgba(dj::kBevelLight), 1));
    p.drawRoundedRect(r.translated(0, down ? 1 : 0), 4, 4);

    // A neutral key that is lit wears a green LED strip along its bottom edge.
    if (style_ == Style::Neutral) {
        const QRectF led(r.left() + 6, r.bottom() - 5, r.width() - 12, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(lit_ ? dj::kLitGreen : dj::kDarkGreen));
        p.drawRoundedRect(led, 1.5, 1.5);
    }

    QColor ink = QColor::fromRgba(dj::kText);
    if (glowing) ink = QColor::fromRgba(dj::kBackground);
    p.setPen(ink);
    p.setFont(font());
    QRectF textRect = r.translated(0, down ? 1 : 0);
    if (style_ == Style::Neutral) textRect.adjust(0, 0, 0, -4);
    if (!icon().isNull()) {
        icon().paint(&p, textRect.toRect(), Qt::AlignCenter);
    } else {
        p.drawText(textRect, Qt::AlignCenter | Qt::TextWordWrap, text());
    }
}

void StateButton::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button());
    QAbstractButton::mousePressEvent(event);
}

void StateButton::dragEnterEvent(QDragEnterEvent* event) {
    // Files from outside the program are the business of the panel holding the control.
    if (event->mimeData()->hasUrls()) return event->ignore();
    event->acceptProposedAction();
}

void StateButton::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) return event->ignore();
    event->acceptProposedAction();
}

void StateButton::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasUrls()) return event->ignore();  // the holding panel takes it
    event->acceptProposedAction();
    emit dropped(event->source(), event->position().toPoint());
}

}  // namespace vx::ui
