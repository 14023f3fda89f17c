#pragma once

#include <QString>

namespace vx {

// The longest number at the start of `text` (after leading blanks): sign, digits, a decimal point and an
// exponent; 0 when the text does not start with a number ("12abc" -> 12, "abc" -> 0, "not found" -> 0).
double leadingNumber(const QString& text);

// `leadingNumber` clamped into the range of a 16-bit or 32-bit whole number, rounded to the nearest.
int leadingInt16(const QString& text);
int leadingInt32(const QString& text);

// Decimal text of a stored number, as short as round-trips for its type: 2.0 -> "2", 1.1 -> "1.1".
QString numberText(double value);
QString numberText(float value);
inline QString numberText(int value) {
    return QString::number(value);
}

}  // namespace vx
