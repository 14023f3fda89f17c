#include "ui/widgets/waveform_zoom.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/waveform_image.h"

namespace vx::ui {

namespace {
constexpr std::size_t kTilesKept = 4;  // the display spans at most three; one more saves a rebuild back

using wave::rgb;

// The frame clock of every running display; it ticks only while one runs.
struct FrameClock {
    QPointer<QTimer> timer;  // the application's child: gone with it
    std::vector<WaveformZoom*> running;

    void add(WaveformZoom* zoom) {
        if (!timer) {
            timer = new QTimer(QCoreApplication::instance());
            timer->setTimerType(Qt::PreciseTimer);
            timer->setInterval(WaveformZoom::kFrameMs);
            QObject::connect(timer, &QTimer::timeout, [this] {
                for (std::size_t i = 0; i < running.size(); ++i) running[i]->frame();
            });
        }
        running.push_back(zoom);
        if (!timer->isActive()) timer->start();
    }
    void remove(WaveformZoom* zoom) {
        std::erase(running, zoom);
        if (running.empty() && timer) timer->stop();
    }
};

FrameClock& frameClock() {
    static FrameClock clock;
    return clock;
}
}  // namespace

WaveformZoom::WaveformZoom(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

WaveformZoom::~WaveformZoom() {
    setRunning(false);
}

QSize WaveformZoom::sizeHint() const {
    return QSize(dj::scaled(this, 340), dj::scaled(this, 52));
}

void WaveformZoom::setAnalysis(const analysis::TrackAnalysis* analysis, int serial) {
    if (serial == serial_) return;
    serial_ = serial;
    analysis_ = analysis && analysis->waveform.points() > 0 ? analysis : nullptr;
    gain_ = analysis_ ? waveGain(analysis_->waveform) : 1.0;
    tiles_.clear();
    update();
}

void WaveformZoom::setMarks(const DeckMarks& marks) {
    if (marks == marks_) return;
    marks_ = marks;
    update();
}

void WaveformZoom::setRunning(bool on) {
    if (on == running_) return;
    running_ = on;
    if (on)
        frameClock().add(this);
    else
        frameClock().remove(this);
}

void WaveformZoom::frame() {
    if (!source_) return;
    const int before = headPixel();
    marks_.positionS = source_();
    if (headPixel() != before) update();
}

int WaveformZoom::headPixel() const {
    return static_cast<int>(std::lround(marks_.positionS * pixelsPerSecond()));
}

double WaveformZoom::xOf(double seconds) const {
    return width() / 2 + seconds * pixelsPerSecond() - headPixel();
}

void WaveformZoom::resizeEvent(QResizeEvent*) {
    tiles_.clear();
}

void WaveformZoom::drawTicks(QImage& image, double firstS) const {
    if (!analysis_ || analysis_->bpm <= 0) return;
    const double period = 60.0 / analysis_->bpm;
    const double pps = pixelsPerSecond();
    const double lastS = firstS + image.deviceIndependentSize().width() / pps;
    QPainter p(&image);
    const int h = height();
    const int tick = std::max(3, h / 6);
    for (auto k = static_cast<long>(std::ceil((firstS - analysis_->beatOffsetS) / period));; ++k) {
        const double at = analysis_->beatOffsetS + k * period;
        if (at > lastS) break;
        const int x = static_cast<int>(std::lround((at - firstS) * pps));
        const bool bar = k % 4 == 0;
        if (bar) p.fillRect(QRect(x, 0, 1, h), rgb(dj::kLcdText, 45));
        const QColor c = rgb(dj::kLcdText, bar ? 230 : 140);
        const int len = bar ? tick * 2 : tick;
        p.fillRect(QRect(x, 0, 1, len), c);
        p.fillRect(QRect(x, h - len, 1, len), c);
    }
}

const QImage& WaveformZoom::tile(int index) {
    for (const Tile& t : tiles_) {
        if (t.index == index) return t.image;
    }
    if (tiles_.size() >= kTilesKept) {
        const auto farthest =
            std::max_element(tiles_.begin(), tiles_.end(), [index](const Tile& a, const Tile& b) {
                return std::abs(a.index - index) < std::abs(b.index - index);
            });
        tiles_.erase(farthest);
    }
    // Columns in device pixels (sharp on a high-density screen), ticks in the widget's own.
    const double ratio = devicePixelRatioF();
    QImage image(QSize(kTileWidth, height()) * ratio, QImage::Format_RGB32);
    image.fill(wave::kBack);
    const double pps = pixelsPerSecond();
    const double firstS = static_cast<double>(index) * kTileWidth / pps;
    const double perSecond = analysis::WaveformSummary::kPointsPerSecond;
    drawWaveColumns(image, analysis_->waveform, 0, image.width(), firstS * perSecond, perSecond / (pps * ratio),
                    gain_);
    image.setDevicePixelRatio(ratio);
    drawTicks(image, firstS);
    tiles_.push_back({index, std::move(image)});
    return tiles_.back().image;
}

void WaveformZoom::paintMarks(QPainter& p) const {
    const int h = height();
    const auto at = [this](double s) { return static_cast<int>(std::lround(xOf(s))); };
    if (marks_.loopStartS && marks_.loopEndS) {
        const int a = at(*marks_.loopStartS), b = at(*marks_.loopEndS);
        p.fillRect(QRect(a, 0, std::max(1, b - a), h), rgb(wave::kLoop, 50));
        p.fillRect(QRect(a, 0, 2, h), rgb(wave::kLoop));
        p.fillRect(QRect(b - 1, 0, 2, h), rgb(wave::kLoop));
    }
    const int flag = std::max(10, h / 3);
    p.setFont(dj::labelFont(std::max(8, flag - 2)));
    for (int slot = 0; slot < 4; ++slot) {
        if (!marks_.hotCues[slot]) continue;
        const int x = at(*marks_.hotCues[slot]);
        if (x < -flag || x > width()) continue;
        p.fillRect(QRect(x, 0, 2, h), rgb(wave::kHotCue[slot]));
        const QRect box(x, 0, flag, flag);
        p.fillRect(box, rgb(wave::kHotCue[slot]));
        p.setPen(rgb(dj::kBevelDark));
        p.drawText(box, Qt::AlignCenter, QString::number(slot + 1));
    }
    if (marks_.cueS) p.fillRect(QRect(at(*marks_.cueS), 0, 2, h), rgb(wave::kCue));
    p.fillRect(QRect(width() / 2 - 1, 0, 2, h), rgb(wave::kHead));
}

void WaveformZoom::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), rgb(wave::kBack));
    p.fillRect(QRect(0, height() / 2, width(), 1), rgb(dj::kLcdDim));
    if (analysis_ && width() > 0 && height() > 0) {
        const int left = headPixel() - width() / 2;
        const double songEnd = std::max(marks_.lengthS, analysis_->lengthS) * pixelsPerSecond();
        const int first = std::max(0, left) / kTileWidth;
        const int last = static_cast<int>(std::min<double>(left + width() - 1, songEnd)) / kTileWidth;
        for (int i = first; i <= last && left + width() > 0; ++i)
            p.drawImage(i * kTileWidth - left, 0, tile(i));
    }
    paintMarks(p);
    p.setPen(rgb(dj::kBevelLight));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vx::ui
