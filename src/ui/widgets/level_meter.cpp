#include "ui/widgets/level_meter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"

namespace vx::ui {

namespace {
constexpr double kFloorDb = -42.0;
constexpr int kSegments = 21;
constexpr double kAmberDb = -9.0;
constexpr double kRedDb = -3.0;
constexpr double kPeakFall = 0.82;  // per tick once the hold is over (about -1.7 dB)

QRgb segmentColour(double fraction) {
    const double db = kFloorDb * (1.0 - fraction);
    if (db >= kRedDb) return vx::ui::dj::kMeterRed;
    if (db >= kAmberDb) return vx::ui::dj::kMeterAmber;
    return vx::ui::dj::kMeterGreen;
}

void decay(int& peak, int& hold, int bar) {
    if (hold > 0) {
        --hold;
    } else {
        peak = std::max(bar, int(peak * kPeakFall));
    }
}
}  // namespace

LevelMeter::LevelMeter(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int LevelMeter::clampLevel(int v) {
    return std::clamp(v, 0, kFullScale);
}

void LevelMeter::setBars(int a, int b) {
    setBarA(a);
    setBarB(b);
}

void LevelMeter::setBarA(int value) {
    a_ = clampLevel(value);
    if (a_ >= peakA_) {
        peakA_ = a_;
        holdA_ = kPeakHoldTicks;
    }
    update();
}

void LevelMeter::setBarB(int value) {
    b_ = clampLevel(value);
    if (b_ >= peakB_) {
        peakB_ = b_;
        holdB_ = kPeakHoldTicks;
    }
    update();
}

void LevelMeter::tick() {
    const int before = peakA_ + peakB_;
    decay(peakA_, holdA_, a_);
    decay(peakB_, holdB_, b_);
    if (peakA_ + peakB_ != before) update();
}

void LevelMeter::setLightShown(bool shown) {
    lightShown_ = shown;
    update();
}

void LevelMeter::setLightLit(bool lit) {
    if (lit == lightLit_) return;
    lightLit_ = lit;
    update();
}

void LevelMeter::setCaptions(const QString& a, const QString& b) {
    captionA_ = a;
    captionB_ = b;
    update();
}

double LevelMeter::displayFraction(int value) {
    if (value <= 0) return 0.0;
    const double db = 20.0 * std::log10(double(clampLevel(value)) / kFullScale);
    return std::clamp((db - kFloorDb) / -kFloorDb, 0.0, 1.0);
}

QSize LevelMeter::sizeHint() const {
    const QSize s = orientation_ == Qt::Vertical ? QSize(30, 150) : QSize(200, 26);
    return QSize(dj::scaled(this, s.width()), dj::scaled(this, s.height()));
}

QSize LevelMeter::minimumSizeHint() const {
    const QSize s = orientation_ == Qt::Vertical ? QSize(14, 40) : QSize(40, 12);
    return QSize(dj::scaled(this, s.width()), dj::scaled(this, s.height()));
}

void LevelMeter::paintBar(QPainter& p, const QRect& area, int value, int peak) const {
    const bool vertical = orientation_ == Qt::Vertical;
    const int along = vertical ? area.height() : area.width();
    const double seg = double(along) / kSegments;
    const int gap = seg >= 5 ? 2 : 1;
    const double lit = displayFraction(value) * kSegments;
    const int peakSeg =
        peak > 0 ? std::clamp(int(std::ceil(displayFraction(peak) * kSegments)) - 1, 0, kSegments - 1) : -1;
    for (int i = 0; i < kSegments; ++i) {
        const QRgb tint = segmentColour((i + 1.0) / kSegments);
        QColor c = QColor::fromRgba(tint);
        if (i >= lit && i != peakSeg) c = QColor::fromRgba(tint).darker(520);
        const int a = int(std::lround(i * seg));
        const int b = int(std::lround((i + 1) * seg)) - gap;
        const QRect r = vertical ? QRect(area.left(), area.bottom() - b, area.width(), b - a)
                                 : QRect(area.left() + a, area.top(), b - a, area.height());
        p.fillRect(r, c);
    }
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgba(dj::kBevelDark));
    const bool captions = !captionA_.isEmpty() || !captionB_.isEmpty();
    const int edge = dj::scaled(this, 2);
    QRect inner = rect().adjusted(edge, edge, -edge, -edge);
    const QFont captionFont = dj::labelFont(dj::scaled(this, 9));
    // Beside a horizontal meter the captions are words ("L DECK"): the column is as wide as they are.
    const QFontMetrics fm(captionFont);
    const int capSize = orientation_ == Qt::Vertical
                            ? dj::scaled(this, 11)
                            : std::max(fm.horizontalAdvance(captionA_), fm.horizontalAdvance(captionB_)) +
                                  dj::scaled(this, 6);
    QRect capArea;
    if (captions) {
        if (orientation_ == Qt::Vertical) {
            capArea = QRect(inner.left(), inner.bottom() - capSize + 1, inner.width(), capSize);
            inner.setBottom(inner.bottom() - capSize - 1);
        } else {
            capArea = QRect(inner.left(), inner.top(), capSize, inner.height());
            inner.setLeft(inner.left() + capSize + 1);
        }
    }
    if (lightShown_) {
        QRect light;
        if (orientation_ == Qt::Vertical) {
            light = QRect(inner.left(), inner.top(), inner.width(), inner.width());
            inner.setTop(light.bottom() + edge + 1);
        } else {
            light = QRect(inner.right() - inner.height() + 1, inner.top(), inner.height(), inner.height());
            inner.setRight(light.left() - edge - 1);
        }
        p.fillRect(light, QColor::fromRgba(lightLit_ ? dj::kMeterRed : dj::kKillDark));
    }
    QRect ra, rb;
    if (orientation_ == Qt::Vertical) {
        const int w = (inner.width() - 2) / 2;
        ra = QRect(inner.left(), inner.top(), w, inner.height());
        rb = QRect(inner.right() - w + 1, inner.top(), w, inner.height());
    } else {
        const int h = (inner.height() - 2) / 2;
        ra = QRect(inner.left(), inner.top(), inner.width(), h);
        rb = QRect(inner.left(), inner.bottom() - h + 1, inner.width(), h);
    }
    paintBar(p, ra, a_, peakA_);
    paintBar(p, rb, b_, peakB_);
    if (captions) {
        p.setPen(QColor::fromRgba(dj::kTextDim));
        p.setFont(captionFont);
        if (orientation_ == Qt::Vertical) {
            p.drawText(QRect(ra.left(), capArea.top(), ra.width(), capSize), Qt::AlignCenter, captionA_);
            p.drawText(QRect(rb.left(), capArea.top(), rb.width(), capSize), Qt::AlignCenter, captionB_);
        } else {
            p.drawText(QRect(capArea.left(), ra.top(), capSize, ra.height()), Qt::AlignLeft | Qt::AlignVCenter,
                       captionA_);
            p.drawText(QRect(capArea.left(), rb.top(), capSize, rb.height()), Qt::AlignLeft | Qt::AlignVCenter,
                       captionB_);
        }
    }
}

}  // namespace vx::ui
