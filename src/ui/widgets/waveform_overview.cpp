#include "ui/widgets/waveform_overview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/waveform_image.h"

namespace vx::ui {

namespace {
using wave::rgb;
}  // namespace

WaveformOverview::WaveformOverview(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WaveformOverview::setWaveform(const analysis::WaveformSummary* summary, int serial) {
    if (serial == serial_) return;
    serial_ = serial;
    summary_ = summary && summary->points() > 0 ? summary : nullptr;
    update();
}

void WaveformOverview::setMarks(const DeckMarks& marks) {
    const int x = playedX();
    const bool flash = flashing();
    DeckMarks still = marks;
    still.positionS = marks_.positionS;
    const bool same = still == marks_;
    marks_ = marks;
    if (!same || x != playedX() || flash != flashing()) update();
}

void WaveformOverview::setProgress(int percent) {
    const int p = std::clamp(percent, 0, 100);
    if (p == progress_) return;
    progress_ = p;
    if (!hasWaveform()) update();
}

void WaveformOverview::setHeld(std::optional<double> fraction) {
    if (fraction == held_) return;
    held_ = fraction;
    update();
}

int WaveformOverview::xOf(double seconds) const {
    if (marks_.lengthS <= 0) return -1;
    const double f = std::clamp(seconds / marks_.lengthS, 0.0, 1.0);
    return static_cast<int>(std::lround(f * (width() - 1)));
}

double WaveformOverview::playedFraction() const {
    if (held_) return *held_;
    return marks_.lengthS > 0 ? std::clamp(marks_.positionS / marks_.lengthS, 0.0, 1.0) : 0.0;
}

int WaveformOverview::playedX() const {
    return static_cast<int>(std::lround(playedFraction() * (width() - 1)));
}

bool WaveformOverview::flashing() const {
    return marks_.endWarning && std::fmod(marks_.positionS, 1.0) < 0.5;
}

void WaveformOverview::resizeEvent(QResizeEvent*) {
    builtSerial_ = -2;
}

void WaveformOverview::rebuild() {
    builtSerial_ = serial_;
    ++builds_;
    // Drawn in device pixels, so that a high-density screen shows every column sharp.
    const double ratio = devicePixelRatioF();
    image_ = QImage(size() * ratio, QImage::Format_RGB32);
    image_.fill(wave::kBack);
    if (summary_ && width() >= 2) {
        const double perColumn = static_cast<double>(summary_->points()) / image_.width();
        drawWaveColumns(image_, *summary_, 0, image_.width(), 0.0, perColumn, waveGain(*summary_));
    }
    image_.setDevicePixelRatio(ratio);
}

void WaveformOverview::paintPlainBar(QPainter& p) const {
    p.fillRect(rect(), rgb(dj::kLcdBack));
    const double seg = double(width()) / kProgressSegments;
    const int lit = int(std::lround(progress_ / 100.0 * kProgressSegments));
    for (int i = 0; i < kProgressSegments; ++i) {
        const int a = int(std::lround(i * seg));
        const int b = int(std::lround((i + 1) * seg)) - 1;
        QColor c = rgb(i < lit ? dj::kLcdText : dj::kLcdDim);
        // The last tenth of the song turns amber: time to mix.
        if (i < lit && i >= kProgressSegments * 9 / 10) c = rgb(dj::kLcdWarn);
        p.fillRect(QRect(a, 0, std::max(1, b - a), height()), c);
    }
}

void WaveformOverview::paintMarks(QPainter& p) const {
    const int h = height();
    const int w = std::max(1, dj::scaled(this, 2));
    if (marks_.loopStartS && marks_.loopEndS) {
        const int a = xOf(*marks_.loopStartS), b = xOf(*marks_.loopEndS);
        p.fillRect(QRect(a, 0, std::max(1, b - a + 1), h), rgb(wave::kLoop, 70));
        p.fillRect(QRect(a, 0, 1, h), rgb(wave::kLoop));
        p.fillRect(QRect(b, 0, 1, h), rgb(wave::kLoop));
    }
    if (marks_.mixS) p.fillRect(QRect(xOf(*marks_.mixS) - w / 2, 0, w, h), rgb(wave::kMix));
    const int flag = std::max(3, h / 3);
    for (int slot = 0; slot < 4; ++slot) {
        if (!marks_.hotCues[slot]) continue;
        const int x = xOf(*marks_.hotCues[slot]);
        p.fillRect(QRect(x, 0, 1, h), rgb(wave::kHotCue[slot]));
        p.fillRect(QRect(x, 0, flag, flag), rgb(wave::kHotCue[slot]));
    }
    if (marks_.cueS) {
        const int x = xOf(*marks_.cueS);
        p.fillRect(QRect(x, 0, 1, h), rgb(wave::kCue));
        const QPointF tip[3] = {QPointF(x - flag / 2.0 - 0.5, h), QPointF(x + flag / 2.0 + 0.5, h),
                                QPointF(x + 0.5, h - flag)};
        p.setPen(Qt::NoPen);
        p.setBrush(rgb(wave::kCue));
        p.drawPolygon(tip, 3);
    }
}

void WaveformOverview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!hasWaveform()) {
        paintPlainBar(p);
    } else {
        if (builtSerial_ != serial_ || image_.deviceIndependentSize().toSize() != size()) rebuild();
        p.drawImage(0, 0, image_);
        // The part already played sinks into the glass.
        p.fillRect(QRect(0, 0, playedX(), height()), rgb(dj::kLcdBack, 150));
        p.fillRect(QRect(playedX(), 0, 1, height()), rgb(wave::kHead));
    }
    if (marks_.lengthS > 0) paintMarks(p);
    if (flashing()) p.fillRect(rect(), rgb(dj::kKillRed, 90));
}

}  // namespace vx::ui
