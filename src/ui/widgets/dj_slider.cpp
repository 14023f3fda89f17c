#include "ui/widgets/dj_slider.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/face_cache.h"

namespace vx::ui {

namespace {
constexpr int kGrooveThickness = 6;
constexpr int kMargin = 2;
}  // namespace

DjSlider::DjSlider(Qt::Orientation orientation, QWidget* parent) : QAbstractSlider(parent) {
    setOrientation(orientation);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractSlider::sliderMoved, this, &DjSlider::scrolling);
}

void DjSlider::setTickInterval(int interval) {
    tickInterval_ = std::max(0, interval);
    update();
}

void DjSlider::setFill(Fill fill) {
    fill_ = fill;
    update();
}

QSize DjSlider::sizeHint() const {
    const QSize s = orientation() == Qt::Vertical ? QSize(44, 160) : QSize(180, 40);
    return QSize(dj::scaled(this, s.width()), dj::scaled(this, s.height()));
}

QSize DjSlider::minimumSizeHint() const {
    const QSize s = orientation() == Qt::Vertical ? QSize(24, 60) : QSize(60, 24);
    return QSize(dj::scaled(this, s.width()), dj::scaled(this, s.height()));
}

int DjSlider::capLength() const {
    const int along = orientation() == Qt::Vertical ? height() : width();
    return std::clamp(along / 6, dj::scaled(this, 12), dj::scaled(this, 26));
}

int DjSlider::travelStart() const {
    return capLength() / 2 + kMargin;
}

int DjSlider::travelSpan() const {
    const int along = orientation() == Qt::Vertical ? height() : width();
    return std::max(1, along - capLength() - 2 * kMargin);
}

int DjSlider::pixelOf(int value) const {
    const int range = maximum() - minimum();
    if (range <= 0) return travelStart();
    const double f = double(value - minimum()) / range;
    return travelStart() + int(std::lround(f * travelSpan()));
}

int DjSlider::valueAtPoint(QPoint point) const {
    const int along = orientation() == Qt::Vertical ? point.y() : point.x();
    const double f = std::clamp(double(along - travelStart()) / travelSpan(), 0.0, 1.0);
    return minimum() + int(std::lround(f * (maximum() - minimum())));
}

QRect DjSlider::capRect() const {
    const int centre = pixelOf(sliderPosition());
    const int len = capLength();
    if (orientation() == Qt::Vertical) {
        const int thick = std::min(width() - 2 * kMargin, dj::scaled(this, 40));
        return QRect((width() - thick) / 2, centre - len / 2, thick, len);
    }
    const int thick = std::min(height() - 2 * kMargin, dj::scaled(this, 34));
    return QRect(centre - len / 2, (height() - thick) / 2, len, thick);
}

void DjSlider::paintTicks(QPainter& p, const QRect& groove) const {
    if (tickInterval_ <= 0 || maximum() <= minimum()) return;
    const bool vertical = orientation() == Qt::Vertical;
    const int mid = (minimum() + maximum()) / 2;
    const double k = dj::scaleOf(this);
    for (int v = minimum(); v <= maximum(); v += tickInterval_) {
        const bool major = v == minimum() || v == maximum() || v == mid;
        p.setPen(QPen(QColor::fromRgba(major ? dj::kTextDim : dj::kBevelLight), (major ? 2 : 1) * k));
        const int at = pixelOf(v);
        const int gap = dj::scaled(this, 5), len = dj::scaled(this, major ? 9 : 6);
        if (vertical) {
            p.drawLine(groove.left() - gap - len, at, groove.left() - gap, at);
            p.drawLine(groove.right() + gap, at, groove.right() + gap + len, at);
        } else {
            p.drawLine(at, groove.top() - gap - len, at, groove.top() - gap);
            p.drawLine(at, groove.bottom() + gap, at, groove.bottom() + gap + len);
        }
    }
}

void DjSlider::paintCap(QPainter& p) const {
    const QRect area = capRect();
    const bool vertical = orientation() == Qt::Vertical;
    const double k = dj::scaleOf(this);
    const bool hot = isSliderDown() || underMouse();
    const bool focus = hasFocus();
    // The cap with room around it for its shadow, drawn once per size and state for every fader.
    const int m = int(std::ceil(3 * k)) + 2;
    const QPoint origin = area.topLeft() - QPoint(m, m);
    const QString key = QStringLiteral("cap/%1/%2%3%4").arg(k).arg(int(vertical)).arg(int(hot)).arg(int(focus));
    const QSize size = area.size() + QSize(2 * m, 2 * m);
    p.drawPixmap(origin, dj::cachedFace(key, size, devicePixelRatioF(), [&](QPainter& f) {
        f.translate(-origin);
        const QRectF cap = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
        // Shadow, then a brushed body lit from above.
        f.setPen(Qt::NoPen);
        f.setBrush(QColor(0, 0, 0, 120));
        f.drawRoundedRect(cap.translated(1.5 * k, 2.5 * k), 3 * k, 3 * k);
        QLinearGradient body(cap.topLeft(), vertical ? cap.bottomLeft() : cap.topRight());
        body.setColorAt(0.0, dj::shade(dj::kCapTop, hot ? 12 : 0));
        body.setColorAt(0.45, dj::shade(dj::kCapBottom, hot ? 12 : 0));
        body.setColorAt(0.55, dj::shade(dj::kCapBottom, -20));
        body.setColorAt(1.0, dj::shade(dj::kCapTop, -25));
        f.setPen(QPen(QColor::fromRgba(dj::kBevelDark), 1));
        f.setBrush(body);
        f.drawRoundedRect(cap, 3 * k, 3 * k);
        // Grip ridges and the bright centre line the eye reads the position from.
        f.setPen(QPen(QColor(0, 0, 0, 90), k));
        const QPointF c = cap.center();
        for (int ridge : {-7, -4, 4, 7}) {
            const double at = ridge * k;
            if (vertical && std::abs(at) < cap.height() / 2 - k)
                f.drawLine(QPointF(cap.left() + 3 * k, c.y() + at), QPointF(cap.right() - 3 * k, c.y() + at));
            if (!vertical && std::abs(at) < cap.width() / 2 - k)
                f.drawLine(QPointF(c.x() + at, cap.top() + 3 * k), QPointF(c.x() + at, cap.bottom() - 3 * k));
        }
        f.setPen(QPen(focus ? QColor::fromRgba(dj::kAccent) : QColor::fromRgba(dj::kText), 2 * k));
        if (vertical)
            f.drawLine(QPointF(cap.left() + 2 * k, c.y()), QPointF(cap.right() - 2 * k, c.y()));
        else
            f.drawLine(QPointF(c.x(), cap.top() + 2 * k), QPointF(c.x(), cap.bottom() - 2 * k));
    }));
}

void DjSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) p.setOpacity(0.45);
    const bool vertical = orientation() == Qt::Vertical;
    const int start = travelStart() - 3, len = travelSpan() + 6;
    const int thick = dj::scaled(this, kGrooveThickness);
    const QRect groove = vertical ? QRect((width() - thick) / 2, start, thick, len)
                                  : QRect(start, (height() - thick) / 2, len, thick);
    paintTicks(p, groove);

    p.setPen(QPen(QColor::fromRgba(dj::kBevelLight), 1));
    p.setBrush(QColor::fromRgba(dj::kGroove));
    p.drawRoundedRect(QRectF(groove).adjusted(0.5, 0.5, -0.5, -0.5), thick / 2.0, thick / 2.0);

    if (fill_ != Fill::None && maximum() > minimum()) {
        const int origin = fill_ == Fill::FromMinimum   ? pixelOf(minimum())
                           : fill_ == Fill::FromMaximum ? pixelOf(maximum())
                                                        : pixelOf((minimum() + maximum()) / 2);
        const int at = pixelOf(sliderPosition());
        const int a = std::min(origin, at), b = std::max(origin, at);
        const QRect bar = vertical ? QRect(groove.left() + 1, a, groove.width() - 2, b - a)
                                   : QRect(a, groove.top() + 1, b - a, groove.height() - 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(dj::kAccent));
        p.drawRect(bar);
    }
    paintCap(p);
}

void DjSlider::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button());
    if (event->button() != Qt::LeftButton || maximum() <= minimum()) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int along = orientation() == Qt::Vertical ? pos.y() : pos.x();
    pressValue_ = value();
    dragOffset_ = capRect().contains(pos) ? along - pixelOf(value()) : 0;
    setSliderDown(true);
    if (dragOffset_ == 0) setSliderPosition(valueAtPoint(pos));
    event->accept();
}

void DjSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!isSliderDown()) {
        event->ignore();
        return;
    }
    QPoint pos = event->position().toPoint();
    if (orientation() == Qt::Vertical)
        pos.ry() -= dragOffset_;
    else
        pos.rx() -= dragOffset_;
    setSliderPosition(valueAtPoint(pos));
    event->accept();
}

void DjSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!isSliderDown() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setSliderDown(false);
    if (value() != pressValue_) emit valueSettled(value());
    event->accept();
}

void DjSlider::stepBy(int delta) {
    const int before = value();
    setValue(before + delta);
    if (value() != before) {
        emit scrolling(value());
        emit valueSettled(value());
    }
}

void DjSlider::keyPressEvent(QKeyEvent* event) {
    const bool vertical = orientation() == Qt::Vertical;
    // A vertical cap moves the way the arrow points, so Up lowers the value.
    const int up = vertical ? -1 : 1;
    switch (event->key()) {
        case Qt::Key_Up:
            stepBy(up * singleStep());
            break;
        case Qt::Key_Down:
            stepBy(-up * singleStep());
            break;
        case Qt::Key_Right:
            stepBy(singleStep());
            break;
        case Qt::Key_Left:
            stepBy(-singleStep());
            break;
        case Qt::Key_PageUp:
            stepBy(up * pageStep());
            break;
        case Qt::Key_PageDown:
            stepBy(-up * pageStep());
            break;
        case Qt::Key_Home:
            stepBy(minimum() - value());
            break;
        case Qt::Key_End:
            stepBy(maximum() - value());
            break;
        default:
            QAbstractSlider::keyPressEvent(event);
            return;
    }
    event->accept();
}

void DjSlider::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ %= 120;
    if (notches != 0) stepBy((orientation() == Qt::Vertical ? -1 : 1) * notches * singleStep());
    event->accept();
}

void DjSlider::dragEnterEvent(QDragEnterEvent* event) {
    // Files from outside the program are the business of the panel holding the control.
    if (event->mimeData()->hasUrls()) return event->ignore();
    event->acceptProposedAction();
}

void DjSlider::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) return event->ignore();
    event->acceptProposedAction();
}

void DjSlider::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasUrls()) return event->ignore();  // the holding panel takes it
    event->acceptProposedAction();
    emit dropped(event->source(), event->position().toPoint());
}

}  // namespace vx::ui
