#include "ui/widgets/face_cache.h"

#include <QPainter>
#include <QPixmapCache>
#include <cmath>

namespace vx::ui::dj {

QPixmap cachedFace(const QString& key, QSize size, qreal dpr, const std::function<void(QPainter&)>& paint) {
    const QSize device(int(std::ceil(size.width() * dpr)), int(std::ceil(size.height() * dpr)));
    const QString full = QStringLiteral("%1/%2x%3").arg(key).arg(device.width()).arg(device.height());
    QPixmap face;
    if (QPixmapCache::find(full, &face)) return face;
    face = QPixmap(device);
    face.setDevicePixelRatio(dpr);
    face.fill(Qt::transparent);
    {
        QPainter p(&face);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p);
    }
    QPixmapCache::insert(full, face);
    return face;
}

}  // namespace vx::ui::dj
