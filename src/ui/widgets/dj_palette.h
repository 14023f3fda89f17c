#pragma once

#include <QColor>
#include <QFont>
#include <QRgb>

class QBrush;
class QPainter;
class QRectF;
class QWidget;

// The one look every Velumix window shares: a dark console, a cool LCD, green for "on", red for kills.
// Widgets draw from these values only, so a colour changes in one place.
namespace vx::ui::dj {

// Console surfaces, darkest first.
inline constexpr QRgb kBackground = 0xff101215;
inline constexpr QRgb kPanel = 0xff1a1d22;
inline constexpr QRgb kPanelRaised = 0xff252a31;
inline constexpr QRgb kBevelLight = 0xff3a414b;
inline constexpr QRgb kBevelDark = 0xff07080a;
inline constexpr QRgb kText = 0xffdfe5ec;
inline constexpr QRgb kTextDim = 0xff7d8894;
inline constexpr QRgb kAccent = 0xff38c6ff;

// Button states, read at a glance: an "on" key glows in its colour over the whole face; an "off" key
// has the dim face every resting key has, with its colour only in an unlit LED strip; a disabled key
// is flat grey with faint text. Green means on, red a cut band.
inline constexpr QRgb kLitGreen = 0xff2cf05a;
inline constexpr QRgb kDarkGreen = 0xff1f3d27;  // an unlit green LED
inline constexpr QRgb kKillRed = 0xffff3b30;
inline constexpr QRgb kKillDark = 0xff4a1c1a;  // an unlit red LED
inline constexpr QRgb kKeyOff = 0xff22272e;
inline constexpr QRgb kKeyDisabled = 0xff1b1d21;
inline constexpr QRgb kInkDisabled = 0xff4c535c;

// Deck LCD.
inline constexpr QRgb kLcdBack = 0xff06141a;
inline constexpr QRgb kLcdGlass = 0xff0b2129;
inline constexpr QRgb kLcdText = 0xff7fe9ff;
inline constexpr QRgb kLcdDim = 0xff1d4652;
inline constexpr QRgb kLcdWarn = 0xffffb02e;

// Meters: green up to -9 dB, amber up to -3 dB, red above.
inline constexpr QRgb kMeterGreen = 0xff2ee65a;
inline constexpr QRgb kMeterAmber = 0xffffc02e;
inline constexpr QRgb kMeterRed = 0xffff3b30;
inline constexpr QRgb kMeterOff = 0xff1b2420;

// Faders.
inline constexpr QRgb kGroove = 0xff050607;
inline constexpr QRgb kCapTop = 0xffc9d0d8;
inline constexpr QRgb kCapBottom = 0xff6d7680;
inline constexpr QRgb kCapLine = 0xff101215;

// A colour lighter or darker by `percent` (positive lightens), for bevels and gradients.
QColor shade(QRgb colour, int percent);

// Fonts: the LCD's digits and text, and the small capitals used for labels.
QFont lcdFont(int pixelSize, bool bold = true);
QFont labelFont(int pixelSize, bool bold = true);

// A rounded plate: `face` filling `r` inside an `edge` line `width` wide centred on its border, as a pen
// would draw it. Drawn as two fills: an antialiased stroke round a large shape costs twice as much as
// filling it.
void drawPlate(QPainter& p, const QRectF& r, qreal radius, const QColor& edge, const QBrush& face, qreal width = 1);

// Gives a window (and every standard widget in it) the console's dark palette.
void applyConsolePalette(QWidget* window);

}  // namespace vx::ui::dj
