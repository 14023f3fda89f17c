#include "ui/widgets/console_scale.h"

#include <QGridLayout>
#include <QHash>
#include <QLayout>
#include <QRect>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace vx::ui::dj {

namespace {
// Every scaled window's factor. Widgets ask for it in every paint, so it is a lookup by address rather
// than a property looked up by name; a window leaves when it is destroyed.
QHash<const QWidget*, double>& windowFactors() {
    static QHash<const QWidget*, double> factors;
    return factors;
}

// Dynamic properties: each object's design measures, kept from the first scaling so that repeated
// scaling never compounds rounding.
constexpr char kFont[] = "vxDesignFont";  // pixel size, or minus the point size
constexpr char kMin[] = "vxDesignMin";
constexpr char kMax[] = "vxDesignMax";
constexpr char kMargins[] = "vxDesignMargins";  // left, top, right, bottom as a rectangle's corners
constexpr char kSpacing[] = "vxDesignSpacing";  // horizontal, vertical as a size

int times(int v, double f) {
    return v <= 0 ? v : std::max(1, int(std::lround(v * f)));
}

QVariant remembered(QObject* o, const char* name, const QVariant& now) {
    QVariant v = o->property(name);
    if (!v.isValid()) {
        o->setProperty(name, now);
        v = now;
    }
    return v;
}

QMargins scaledMargins(QObject* o, const QMargins& now, double f) {
    const QRect m = remembered(o, kMargins, QRect(QPoint(now.left(), now.top()), QPoint(now.right(), now.bottom()))).toRect();
    return QMargins(times(m.left(), f), times(m.top(), f), times(m.right(), f), times(m.bottom(), f));
}

void scaleLayout(QLayout* layout, double f) {
    if (!layout) return;
    layout->setContentsMargins(scaledMargins(layout, layout->contentsMargins(), f));
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        const QSize s = remembered(grid, kSpacing, QSize(grid->horizontalSpacing(), grid->verticalSpacing())).toSize();
        grid->setHorizontalSpacing(times(s.width(), f));
        grid->setVerticalSpacing(times(s.height(), f));
    } else {
        const QSize s = remembered(layout, kSpacing, QSize(layout->spacing(), layout->spacing())).toSize();
        layout->setSpacing(times(s.width(), f));
    }
    for (int i = 0; i < layout->count(); ++i) scaleLayout(layout->itemAt(i)->layout(), f);
}

void scaleFont(QWidget* w, double f) {
    const QFont now = w->font();
    const double design =
        remembered(w, kFont, now.pixelSize() > 0 ? double(now.pixelSize()) : -now.pointSizeF()).toDouble();
    QFont font = now;
    if (design > 0)
        font.setPixelSize(std::max(1, int(std::lround(design * f))));
    else
        font.setPointSizeF(-design * f);
    if (font != now) w->setFont(font);
}

void scaleSizes(QWidget* w, double f) {
    const QSize min = remembered(w, kMin, w->minimumSize()).toSize();
    const QSize max = remembered(w, kMax, w->maximumSize()).toSize();
    const auto bound = [f](int v) { return v >= QWIDGETSIZE_MAX ? v : times(v, f); };
    w->setMinimumSize(times(min.width(), f), times(min.height(), f));
    w->setMaximumSize(bound(max.width()), bound(max.height()));
}

void scaleWidget(QWidget* w, double f, bool isRoot) {
    // Every widget's own font: style-sheet rules keep inherited fonts from following the window's.
    scaleFont(w, f);
    if (!isRoot) scaleSizes(w, f);  // the window's own limits are its owner's business
    w->setContentsMargins(scaledMargins(w, w->contentsMargins(), f));
    scaleLayout(w->layout(), f);
    for (QObject* child : w->children()) {
        auto* cw = qobject_cast<QWidget*>(child);
        if (cw && !cw->isWindow()) scaleWidget(cw, f, false);
    }
}
}  // namespace

double scaleOf(const QWidget* widget) {
    if (!widget) return 1.0;
    return windowFactors().value(widget->window(), 1.0);
}

int scaled(const QWidget* widget, double designPixels) {
    if (designPixels <= 0) return int(std::lround(designPixels));
    return std::max(1, int(std::lround(designPixels * scaleOf(widget))));
}

void applyScale(QWidget* window, double factor) {
    auto& factors = windowFactors();
    if (!factors.contains(window))
        QObject::connect(window, &QObject::destroyed, [window] { windowFactors().remove(window); });
    factors.insert(window, factor);
    scaleWidget(window, factor, true);
    window->update();
}

}  // namespace vx::ui::dj
