#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace vx::ui {

// The console's measures at scale 1: the title strip over three panels (deck, mixer, deck) with
// their gaps and margins. Every fixed measure of the console's widgets is drawn at this scale times
// consoleScale(window size).
inline constexpr QSize kConsoleDesignSize{1246, 626};
// The smallest scale the console shrinks to: small enough for a 1366x768 laptop with a panel, large
// enough for every control to keep its text.
inline constexpr double kConsoleMinScale = 0.85;

QSize minimumConsoleSize();
// The scale a console window of `size` draws at: the tighter of its width and height against the
// design size, never below kConsoleMinScale. A wider or taller window stretches the panels instead.
double consoleScale(QSize size);

// Where the console opens on a screen whose free area is `available`: the remembered rectangle, shrunk
// to the area and moved fully onto it (the screen may have shrunk since); without one, the design
// size grown to most of the area, centred.
QRect consoleGeometry(const std::optional<QRect>& remembered, const QRect& available);

// The rectangle as the settings keep it ("left,top,width,height"), and back; text that is not four
// numbers with a positive size reads as none.
QString geometryText(const QRect& r);
std::optional<QRect> geometryFromText(const QString& text);

}  // namespace vx::ui
