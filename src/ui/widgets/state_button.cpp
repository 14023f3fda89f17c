#include "ui/widgets/state_button.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/face_cache.h"

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
    if (!isEnabled()) return QColor::fromRgba(dj::kKeyDisabled);
    if (lit_ && style_ == Style::Green) return QColor::fromRgba(dj::kLitGreen);
    if (lit_ && style_ == Style::Kill) return QColor::fromRgba(dj::kKillRed);
    return QColor::fromRgba(dj::kKeyOff);
}

// The strip along the bottom edge: the key's colour, bright when lit. A disabled kill that is set keeps
// a faint red strip, so the cut it will make once enabled stays visible.
QColor StateButton::ledColour() const {
    const bool red = style_ == Style::Kill;
    if (!isEnabled()) return QColor::fromRgba(lit_ && red ? dj::kKillDark : dj::kKeyOff);
    if (ledColour_) return lit_ ? QColor::fromRgba(ledColour_) : QColor::fromRgba(ledColour_).darker(400);
    if (lit_) return QColor::fromRgba(red ? dj::kKillRed : dj::kLitGreen);
    return QColor::fromRgba(red ? dj::kKillDark : dj::kDarkGreen);
}

QSize StateButton::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(std::max(dj::scaled(this, 48), fm.horizontalAdvance(text()) + dj::scaled(this, 20)),
                 dj::scaled(this, 30));
}

QSize StateButton::minimumSizeHint() const {
    return QSize(dj::scaled(this, 24), dj::scaled(this, 20));
}

void StateButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const double k = dj::scaleOf(this);
    const bool enabled = isEnabled();
    const QRectF r = QRectF(rect()).adjusted(1.5 * k, 1.5 * k, -1.5 * k, -1.5 * k);
    const bool down = isDown() && enabled;
    const double sink = down ? k : 0.0;
    const bool glowing = enabled && lit_ && style_ != Style::Neutral;
    const bool hover = enabled && underMouse() && !down;
    const QColor face = faceColour();
    const QColor led = glowing ? QColor() : ledColour();

    // Bezel, then the key face: a soft gradient; pressed keys sit lower and darker, disabled ones flat.
    // Every key but a glowing one wears its LED strip: lit or unlit in its colour.
    const QString key = QStringLiteral("key/%1/%2/%3/%4%5%6%7")
                            .arg(k)
                            .arg(face.rgba())
                            .arg(led.rgba())
                            .arg(int(enabled))
                            .arg(int(down))
                            .arg(int(hover))
                            .arg(int(glowing));
    p.drawPixmap(0, 0, dj::cachedFace(key, size(), devicePixelRatioF(), [&](QPainter& f) {
        f.setPen(Qt::NoPen);
        f.setBrush(QColor::fromRgba(dj::kBevelDark));
        f.drawRoundedRect(r.adjusted(-k, -k, k, k), 5 * k, 5 * k);
        QBrush fill(face);
        if (enabled) {
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0.0, face.lighter(down ? 100 : 125 + (hover ? 10 : 0)));
            g.setColorAt(1.0, face.darker(down ? 140 : 110 - (hover ? 10 : 0)));
            fill = QBrush(g);
        }
        const QColor edge = glowing ? face.lighter(150) : QColor::fromRgba(enabled ? dj::kBevelLight : dj::kBevelDark);
        dj::drawPlate(f, r.translated(0, sink), 4 * k, edge, fill, k);
        if (!glowing) {
            const double ledHeight = 3 * k;
            const QRectF strip(r.left() + 6 * k, r.bottom() - 5 * k + sink, r.width() - 12 * k, ledHeight);
            f.setPen(Qt::NoPen);
            f.setBrush(led);
            f.drawRoundedRect(strip, ledHeight / 2, ledHeight / 2);
        }
    }));

    QColor ink = QColor::fromRgba(dj::kText);
    if (glowing) ink = QColor::fromRgba(dj::kBackground);
    else if (!enabled) ink = QColor::fromRgba(dj::kInkDisabled);
    else if (style_ != Style::Neutral) ink = QColor::fromRgba(dj::kTextDim);  // an "off" key reads dim
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(ink);
    p.setFont(font());
    QRectF textRect = r.translated(0, sink);
    if (!glowing) textRect.adjust(0, 0, 0, -4 * k);
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
