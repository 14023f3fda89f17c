#include "ui/widgets/lcd_display.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/waveform_overview.h"

namespace vx::ui {

namespace {
constexpr int kBezel = 3;
constexpr int kPad = 8;
constexpr int kTitleGap = 48;  // blank pixels between the end of a scrolling title and its next lap
constexpr int kOverviewHeight = 24;

QColor rgb(QRgb c) {
    return QColor::fromRgba(c);
}

// Digits become 8s: the unlit segments behind a counter, as on a real LCD.
QString ghostOf(const QString& text) {
    QString g = text;
    for (QChar& c : g)
        if (c.isDigit()) c = QLatin1Char('8');
    return g;
}

void triangle(QPainter& p, QPointF centre, double size, bool pointsRight, const QColor& colour) {
    QPainterPath path;
    const double h = size / 2;
    if (pointsRight) {
        path.moveTo(centre.x() - h * 0.8, centre.y() - h);
        path.lineTo(centre.x() + h * 0.8, centre.y());
        path.lineTo(centre.x() - h * 0.8, centre.y() + h);
    } else {
        path.moveTo(centre.x() + h * 0.8, centre.y() - h);
        path.lineTo(centre.x() - h * 0.8, centre.y());
        path.lineTo(centre.x() + h * 0.8, centre.y() + h);
    }
    path.closeSubpath();
    p.fillPath(path, colour);
}
}  // namespace

LcdDisplay::LcdDisplay(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    overview_ = new WaveformOverview(this);
    overview_->setObjectName(QStringLiteral("overview"));
}

void LcdDisplay::setTitleText(const QString& text) {
    if (text == title_) return;
    title_ = text;
    titleWidth_ = -1;
    scroll_ = 0;
    update();
}

void LcdDisplay::setLengthText(const QString& text) {
    if (text == length_) return;
    length_ = text;
    update();
}

void LcdDisplay::setTimeText(const QString& text) {
    if (text == time_) return;
    time_ = text;
    update();
}

void LcdDisplay::setPitchText(const QString& text) {
    if (text == pitch_) return;
    pitch_ = text;
    update();
}

void LcdDisplay::setBpmText(const QString& text) {
    if (text == bpm_) return;
    bpm_ = text;
    update();
}

void LcdDisplay::setProgress(int value) {
    if (progressHeld_) return;
    const int v = std::clamp(value, 0, 100);
    if (v == progress_) return;
    progress_ = v;
    overview_->setProgress(v);
}

void LcdDisplay::setIndicator(Indicator which, bool on) {
    if (which < 0 || which >= IndicatorCount || indicators_[which] == on) return;
    indicators_[which] = on;
    update();
}

void LcdDisplay::setExtraLabel(const QString& label) {
    extraLabel_ = label;
    update();
}

void LcdDisplay::setCueEditArrow(int arrow) {
    const int a = arrow == ArrowForward || arrow == ArrowBack ? arrow : ArrowNone;
    if (a == cueArrow_) return;
    cueArrow_ = a;
    update();
}

void LcdDisplay::setLoopEditArrow(int arrow) {
    const int a = arrow == ArrowForward || arrow == ArrowBack ? arrow : ArrowNone;
    if (a == loopArrow_) return;
    loopArrow_ = a;
    update();
}

int LcdDisplay::px(double designPixels) const {
    return dj::scaled(this, designPixels);
}

int LcdDisplay::titleWidth() const {
    const int fontSize = px(15);
    if (titleWidth_ < 0 || titleWidthFont_ != fontSize) {
        titleWidth_ = QFontMetrics(dj::lcdFont(fontSize, false)).horizontalAdvance(title_);
        titleWidthFont_ = fontSize;
    }
    return titleWidth_;
}

bool LcdDisplay::titleScrolls() const {
    return titleWidth() > titleRect().width();
}

void LcdDisplay::tick() {
    if (!titleScrolls()) {
        if (scroll_ != 0) {
            scroll_ = 0;
            update(titleRect());
        }
        return;
    }
    scroll_ = (scroll_ + kScrollStep) % (titleWidth() + px(kTitleGap));
    update(titleRect());
}

QRect LcdDisplay::titleRect() const {
    const int inset = px(kBezel + kPad);
    return QRect(inset, px(kBezel + 22), width() - 2 * inset, px(20));
}

QRect LcdDisplay::progressRect() const {
    const int inset = px(kBezel + kPad);
    return QRect(inset, height() - px(kBezel + 6 + kOverviewHeight), width() - 2 * inset,
                 px(kOverviewHeight));
}

double LcdDisplay::fractionAt(int x) const {
    const QRect r = progressRect();
    return std::clamp(double(x - r.left()) / std::max(1, r.width() - 1), 0.0, 1.0);
}

int LcdDisplay::progressAt(int x) const {
    return int(std::lround(fractionAt(x) * 100.0));
}

QSize LcdDisplay::sizeHint() const {
    return QSize(px(340), px(140));
}

QSize LcdDisplay::minimumSizeHint() const {
    return QSize(px(220), px(124));
}

void LcdDisplay::resizeEvent(QResizeEvent*) {
    if (!titleScrolls()) scroll_ = 0;
    overview_->setGeometry(progressRect());
}

void LcdDisplay::paintIndicators(QPainter& p) const {
    struct Lamp {
        Indicator which;
        QString label;
        QRgb colour;
    };
    const Lamp lamps[] = {
        {Busy, QStringLiteral("BUSY"), dj::kLcdWarn},
        {Play, QStringLiteral("PLAY"), dj::kLitGreen},
        {Pause, QStringLiteral("PAUSE"), dj::kLcdWarn},
        {Stop, QStringLiteral("STOP"), dj::kKillRed},
        {Cue, QStringLiteral("CUE"), dj::kLcdText},
        {Loop, QStringLiteral("LOOP"), dj::kLcdText},
        {Extra, extraLabel_, dj::kLcdText},
    };
    const QFont f = dj::labelFont(px(10));
    p.setFont(f);
    const QFontMetrics fm(f);
    const double k = dj::scaleOf(this);
    int x = px(kBezel + kPad);
    const int y = px(kBezel + 5), h = px(14);
    for (const Lamp& s : lamps) {
        const int w = fm.horizontalAdvance(s.label) + px(10);
        const QRect r(x, y, w, h);
        const bool on = indicators_[s.which];
        if (on) {
            QColor fill = rgb(s.colour);
            fill.setAlpha(60);
            p.setPen(QPen(rgb(s.colour), k));
            p.setBrush(fill);
        } else {
            p.setPen(QPen(rgb(dj::kLcdDim), k));
            p.setBrush(Qt::NoBrush);
        }
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3 * k, 3 * k);
        p.setPen(on ? rgb(s.colour) : rgb(dj::kLcdDim));
        p.drawText(r, Qt::AlignCenter, s.label);
        x += w + px(4);
    }
}

void LcdDisplay::paintTitle(QPainter& p) const {
    const QRect r = titleRect();
    p.save();
    p.setClipRect(r);
    p.setFont(dj::lcdFont(px(15), false));
    p.setPen(rgb(dj::kLcdText));
    if (titleScrolls()) {
        const int lap = titleWidth() + px(kTitleGap);
        const int x = r.left() - scroll_;
        p.drawText(QRect(x, r.top(), lap, r.height()), Qt::AlignLeft | Qt::AlignVCenter, title_);
        p.drawText(QRect(x + lap, r.top(), lap, r.height()), Qt::AlignLeft | Qt::AlignVCenter, title_);
    } else {
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, title_);
    }
    p.restore();
    // A thin rule under the title separates it from the counters.
    p.setPen(QPen(rgb(dj::kLcdDim), dj::scaleOf(this)));
    p.drawLine(r.left(), r.bottom() + px(3), r.right(), r.bottom() + px(3));
}

void LcdDisplay::paintCounters(QPainter& p) const {
    const int top = titleRect().bottom() + px(6);
    const int bottom = progressRect().top() - px(5);
    const int left = px(kBezel + kPad), right = width() - left;
    const int sideWidth = std::min(px(130), (right - left) * 2 / 5);
    const QRect big(left, top, right - left - sideWidth - px(6), bottom - top);
    const QRect side(right - sideWidth, top, sideWidth, bottom - top);

    // The main counter, over its unlit segments.
    QFont f = dj::lcdFont(std::clamp(int(big.height() * 0.78), px(14), px(38)));
    while (f.pixelSize() > px(12) && QFontMetrics(f).horizontalAdvance(QStringLiteral("88:88:88")) > big.width())
        f.setPixelSize(f.pixelSize() - 1);
    p.setFont(f);
    const QString shown = length_.isEmpty() ? QStringLiteral("--:--:--") : length_;
    QColor ghost = rgb(dj::kLcdDim);
    ghost.setAlpha(55);
    p.setPen(ghost);
    p.drawText(big, Qt::AlignLeft | Qt::AlignVCenter, ghostOf(shown));
    p.setPen(rgb(dj::kLcdText));
    p.drawText(big, Qt::AlignLeft | Qt::AlignVCenter, shown);

    // Right column: pitch, the cue-edit arrows, the loop-edit arrows with the loop time.
    const int row = side.height() / 3;
    const QRect pitchRow(side.left(), side.top(), side.width(), row);
    const QRect cueRow(side.left(), side.top() + row, side.width(), row);
    const QRect loopRow(side.left(), side.top() + 2 * row, side.width(), side.height() - 2 * row);
    const QFont caption = dj::labelFont(px(9));
    p.setFont(caption);
    p.setPen(rgb(dj::kLcdDim).lighter(160));
    p.drawText(pitchRow, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("PITCH"));
    p.setFont(dj::lcdFont(px(13)));
    p.setPen(rgb(dj::kLcdText));
    p.drawText(pitchRow, Qt::AlignRight | Qt::AlignVCenter,
               pitch_.trimmed().isEmpty() ? QStringLiteral("0.00%") : pitch_.trimmed());

    auto arrows = [&](const QRect& r, const QString& label, int arrow) {
        const double s = std::min(px(9), r.height() - px(4));
        const double cy = r.center().y() + 0.5;
        triangle(p, QPointF(r.left() + s / 2, cy), s, false,
                 arrow == ArrowBack ? rgb(dj::kLcdWarn) : rgb(dj::kLcdDim));
        p.setFont(caption);
        p.setPen(arrow == ArrowNone ? rgb(dj::kLcdDim).lighter(160) : rgb(dj::kLcdWarn));
        const int w = QFontMetrics(caption).horizontalAdvance(label);
        p.drawText(QRect(int(r.left() + s + px(3)), r.top(), w, r.height()), Qt::AlignCenter, label);
        triangle(p, QPointF(r.left() + s + px(6) + w + s / 2, cy), s, true,
                 arrow == ArrowForward ? rgb(dj::kLcdWarn) : rgb(dj::kLcdDim));
        return int(2 * s + px(6) + w);
    };
    const int arrowsWidth = arrows(cueRow, QStringLiteral("CUE"), cueArrow_);
    arrows(loopRow, QStringLiteral("LOOP"), loopArrow_);
    // The tempo on the cue row's free right end, smaller where the full size would reach the arrows.
    if (!bpm_.isEmpty()) {
        QFont tempo = dj::lcdFont(px(12));
        while (tempo.pixelSize() > px(8) &&
               QFontMetrics(tempo).horizontalAdvance(bpm_) > cueRow.width() - arrowsWidth - px(4))
            tempo.setPixelSize(tempo.pixelSize() - 1);
        p.setFont(tempo);
        p.setPen(rgb(dj::kLcdText));
        p.drawText(cueRow, Qt::AlignRight | Qt::AlignVCenter, bpm_);
    }
    p.setFont(dj::lcdFont(px(12)));
    p.setPen(rgb(indicators_[Loop] ? dj::kLcdText : dj::kLcdDim));
    p.drawText(loopRow, Qt::AlignRight | Qt::AlignVCenter, time_);
}

void LcdDisplay::paintHeld(QPainter& p) const {
    if (!progressHeld_) return;
    const double k = dj::scaleOf(this);
    p.setPen(QPen(rgb(dj::kText), k));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(progressRect()).adjusted(-1.5 * k, -1.5 * k, 1.5 * k, 1.5 * k));
}

void LcdDisplay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), rgb(dj::kBevelDark));
    const double bezel = px(kBezel);
    const QRectF glass = QRectF(rect()).adjusted(bezel - 0.5, bezel - 0.5, -bezel + 0.5, -bezel + 0.5);
    QLinearGradient g(glass.topLeft(), glass.bottomLeft());
    g.setColorAt(0.0, rgb(dj::kLcdGlass));
    g.setColorAt(1.0, rgb(dj::kLcdBack));
    dj::drawPlate(p, glass, px(4), rgb(dj::kBevelLight), g);
    if (!isEnabled()) p.setOpacity(0.5);
    paintIndicators(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    paintTitle(p);
    p.setRenderHint(QPainter::Antialiasing);
    paintCounters(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    paintHeld(p);
}

void LcdDisplay::userProgress(int x) {
    const double f = fractionAt(x);
    if (f == heldFraction_) return;
    heldFraction_ = f;
    overview_->setHeld(f);
    emit seekMoved(f);
    const int v = progressAt(x);
    if (v == progress_) return;
    progress_ = v;
    overview_->setProgress(v);
    emit progressMoved(v);
}

void LcdDisplay::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    // A generous strip around the bar: fingers and trackpads are not precise.
    if (event->button() != Qt::LeftButton || !progressRect().adjusted(0, -px(6), 0, px(6)).contains(pos)) {
        event->ignore();
        return;
    }
    progressHeld_ = true;
    userProgress(pos.x());
    update();
    event->accept();
}

void LcdDisplay::mouseMoveEvent(QMouseEvent* event) {
    if (!progressHeld_) {
        event->ignore();
        return;
    }
    userProgress(event->position().toPoint().x());
    event->accept();
}

void LcdDisplay::mouseReleaseEvent(QMouseEvent* event) {
    if (!progressHeld_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    progressHeld_ = false;
    heldFraction_ = -1;
    overview_->setHeld(std::nullopt);
    update();
    event->accept();
}

void LcdDisplay::dragEnterEvent(QDragEnterEvent* event) {
    // Files from outside the program are the business of the panel holding the control.
    if (event->mimeData()->hasUrls()) return event->ignore();
    event->acceptProposedAction();
}

void LcdDisplay::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) return event->ignore();
    event->acceptProposedAction();
}

void LcdDisplay::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasUrls()) return event->ignore();  // the holding panel takes it
    event->acceptProposedAction();
    emit dropped(event->source(), event->position().toPoint());
}

}  // namespace vx::ui
