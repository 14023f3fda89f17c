#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <functional>

class QPainter;

namespace vx::ui::dj {

// Many console widgets draw the same face: every key of one size and state, every fader cap. The
// first to paint one renders it into a pixmap kept in Qt's pixmap cache under `key`, in device pixels
// at `dpr`; the others copy it. `key` must name everything the face is drawn from except the size
// and the ratio, which are added here. `paint` draws in logical pixels on a transparent pixmap.
QPixmap cachedFace(const QString& key, QSize size, qreal dpr, const std::function<void(QPainter&)>& paint);

}  // namespace vx::ui::dj
