#include "ui/widgets/waveform_image.h"

#include <algorithm>
#include <cmath>

namespace vx::ui {

using analysis::WaveformSummary;

double waveGain(const WaveformSummary& w) {
    int loudest = 0;
    for (const auto& band : w.peak) {
        if (!band.empty()) loudest = std::max<int>(loudest, *std::max_element(band.begin(), band.end()));
    }
    // A quiet song is lifted, but never so far that hiss fills the picture.
    return loudest <= 0 ? 1.0 : std::min(4.0, 255.0 / loudest);
}

void drawWaveColumns(QImage& image, const WaveformSummary& w, int x0, int columns, double firstPoint,
                     double pointsPerColumn, double gain) {
    const auto points = static_cast<std::int64_t>(w.points());
    const int height = image.height();
    const double half = (height - 1) / 2.0;
    const int mid = height / 2;
    const QRgb colours[WaveformSummary::kBands] = {wave::kLow, wave::kMid, wave::kHigh};
    const int lastColumn = std::min(x0 + columns, image.width());
    for (int x = std::max(0, x0); x < lastColumn; ++x) {
        const double from = firstPoint + (x - x0) * pointsPerColumn;
        auto a = static_cast<std::int64_t>(std::floor(from));
        auto b = static_cast<std::int64_t>(std::floor(from + pointsPerColumn));
        if (b <= a) b = a + 1;
        if (b <= 0 || a >= points) continue;
        a = std::max<std::int64_t>(a, 0);
        b = std::min(b, points);
        // As tall as the loudest band, in the bands' colours mixed by their loudness (squared, so the
        // band that carries the sound shows): a kick reads blue even under a loud pad, a hi-hat white.
        double weight = 0, red = 0, green = 0, blue = 0;
        int loudest = 0;
        for (int band = 0; band < WaveformSummary::kBands; ++band) {
            const auto& peaks = w.peak[static_cast<std::size_t>(band)];
            const int peak = *std::max_element(peaks.begin() + a, peaks.begin() + b);
            loudest = std::max(loudest, peak);
            const double k = double(peak) * peak;
            weight += k;
            red += k * qRed(colours[band]);
            green += k * qGreen(colours[band]);
            blue += k * qBlue(colours[band]);
        }
        const int reach = std::min(mid, static_cast<int>(std::lround(loudest / 255.0 * gain * half)));
        const QRgb c =
            weight > 0 ? qRgb(int(red / weight), int(green / weight), int(blue / weight)) : colours[0];
        for (int dy = 0; dy <= reach; ++dy) {
            reinterpret_cast<QRgb*>(image.scanLine(mid - dy))[x] = c;
            if (mid + dy < height) reinterpret_cast<QRgb*>(image.scanLine(mid + dy))[x] = c;
        }
    }
}

}  // namespace vx::ui
