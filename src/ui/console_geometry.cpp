#include "ui/console_geometry.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace vx::ui {

namespace {
constexpr double kFirstOpenShare = 0.9;  // of the free area a first-time console fills, at most

QSize scaledDesign(double scale) {
    return QSize(int(std::lround(kConsoleDesignSize.width() * scale)),
                 int(std::lround(kConsoleDesignSize.height() * scale)));
}
}  // namespace

QSize minimumConsoleSize() {
    return scaledDesign(kConsoleMinScale);
}

double consoleScale(QSize size) {
    const double sw = double(size.width()) / kConsoleDesignSize.width();
    const double sh = double(size.height()) / kConsoleDesignSize.height();
    return std::max(kConsoleMinScale, std::min(sw, sh));
}

QRect consoleGeometry(const std::optional<QRect>& remembered, const QRect& available) {
    const QSize least = minimumConsoleSize();
    QSize size;
    if (remembered) {
        size = remembered->size();
    } else {
        const double grow = std::min(kFirstOpenShare * available.width() / kConsoleDesignSize.width(),
                                     kFirstOpenShare * available.height() / kConsoleDesignSize.height());
        size = scaledDesign(std::max(1.0, grow));
    }
    // The minimum wins over a screen too small for it: the console never squeezes its controls.
    size = size.boundedTo(available.size()).expandedTo(least);
    QRect r(QPoint(), size);
    if (!remembered) {
        r.moveCenter(available.center());
        r.moveTopLeft(QPoint(std::max(r.left(), available.left()), std::max(r.top(), available.top())));
        return r;
    }
    const int x = std::clamp(remembered->left(), available.left(),
                             std::max(available.left(), available.right() - size.width() + 1));
    const int y = std::clamp(remembered->top(), available.top(),
                             std::max(available.top(), available.bottom() - size.height() + 1));
    r.moveTopLeft(QPoint(x, y));
    return r;
}

QString geometryText(const QRect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}

std::optional<QRect> geometryFromText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0) return std::nullopt;
    return QRect(v[0], v[1], v[2], v[3]);
}

}  // namespace vx::ui
