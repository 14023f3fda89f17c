#include "ui/widgets/dj_palette.h"

#include <QBrush>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <QWidget>

namespace vx::ui::dj {

QColor shade(QRgb colour, int percent) {
    const QColor c = QColor::fromRgba(colour);
    return percent >= 0 ? c.lighter(100 + percent) : c.darker(100 - percent);
}

QFont lcdFont(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QFont labelFont(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

void drawPlate(QPainter& p, const QRectF& r, qreal radius, const QColor& edge, const QBrush& face, qreal width) {
    const qreal h = width / 2;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(edge);
    p.drawRoundedRect(r.adjusted(-h, -h, h, h), radius + h, radius + h);
    p.setBrush(face);
    p.drawRoundedRect(r.adjusted(h, h, -h, -h), std::max(0.0, radius - h), std::max(0.0, radius - h));
    p.restore();
}

void applyConsolePalette(QWidget* window) {
    QPalette p = window->palette();
    p.setColor(QPalette::Window, QColor::fromRgba(kBackground));
    p.setColor(QPalette::WindowText, QColor::fromRgba(kText));
    p.setColor(QPalette::Base, QColor::fromRgba(kPanel));
    p.setColor(QPalette::AlternateBase, QColor::fromRgba(kPanelRaised));
    p.setColor(QPalette::Text, QColor::fromRgba(kText));
    p.setColor(QPalette::Button, QColor::fromRgba(kPanelRaised));
    p.setColor(QPalette::ButtonText, QColor::fromRgba(kText));
    p.setColor(QPalette::Highlight, QColor::fromRgba(kAccent));
    p.setColor(QPalette::HighlightedText, QColor::fromRgba(kBackground));
    p.setColor(QPalette::ToolTipBase, QColor::fromRgba(kPanelRaised));
    p.setColor(QPalette::ToolTipText, QColor::fromRgba(kText));
    p.setColor(QPalette::PlaceholderText, QColor::fromRgba(kTextDim));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor::fromRgba(kTextDim));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor::fromRgba(kTextDim));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor::fromRgba(kTextDim));
    window->setPalette(p);
    window->setAutoFillBackground(true);
}

}  // namespace vx::ui::dj
