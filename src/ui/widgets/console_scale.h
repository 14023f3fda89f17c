#pragma once

class QWidget;

// One size factor for a whole console window. Layouts stretch the panels; the factor grows what a
// layout cannot: fonts, the least and fixed sizes of controls, margins and gaps, and the measures the
// custom widgets draw with (bevels, caps, LED strips, text). Everything stays vector-drawn, so any
// factor and any device pixel ratio give sharp edges.
namespace vx::ui::dj {

// The factor of the window `widget` sits in; 1 outside a scaled window (a widget on its own).
double scaleOf(const QWidget* widget);
// `designPixels` at the widget's scale, rounded, at least 1 for a positive measure.
int scaled(const QWidget* widget, double designPixels);

// Scales `window` and its widgets (not other windows it owns) to `factor`, from the measures each had
// when this was first called on it: fonts, least and fixed sizes, contents margins, and the margins
// and gaps of every layout.
void applyScale(QWidget* window, double factor);

}  // namespace vx::ui::dj
