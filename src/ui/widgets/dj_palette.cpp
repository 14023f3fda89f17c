#include "ui/widgets/dj_palette.h"

#include <QPalette>
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
