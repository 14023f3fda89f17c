#pragma once

#include <QColor>
#include <QImage>
#include <QRgb>

#include "analysis/track_analysis.h"

namespace vx::ui {

// The look both waveform displays share: each column as tall as the loudest point under it, mirrored
// about the middle, in the three bands' colours mixed by how loud each band is there.
namespace wave {
inline constexpr QRgb kBack = 0xff040d11;
inline constexpr QRgb kLow = 0xff2f6bff;
inline constexpr QRgb kMid = 0xff35d6a4;
inline constexpr QRgb kHigh = 0xffe8f6ff;
inline constexpr QRgb kCue = 0xffff4d6a;
inline constexpr QRgb kMix = 0xffffb02e;
inline constexpr QRgb kLoop = 0xff2cf05a;
inline constexpr QRgb kHead = 0xffffffff;
// The hot cues' colours, slot 1 first; their keys light in the same colours.
inline constexpr QRgb kHotCue[4] = {0xffff8c1a, 0xffffe14d, 0xffb36bff, 0xff4dd2ff};

inline QColor rgb(QRgb c, int alpha = 255) {
    QColor colour = QColor::fromRgba(c);
    colour.setAlpha(alpha);
    return colour;
}
}  // namespace wave

// What makes the song's loudest point fill the height: 1 for a song that peaks at full scale.
double waveGain(const analysis::WaveformSummary& w);

// Draws the columns [x0, x0 + columns) of `image` (ARGB32 or RGB32): column x shows the points from
// firstPoint + (x - x0) * pointsPerColumn on, times `gain`. Columns past either end of the song are left as
// they are. Writes pixels directly: a few hundred columns cost well under a millisecond.
void drawWaveColumns(QImage& image, const analysis::WaveformSummary& w, int x0, int columns,
                     double firstPoint, double pointsPerColumn, double gain);

}  // namespace vx::ui
