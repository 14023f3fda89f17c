#include "deck/pitch_maths.h"

#include <algorithm>
#include <cmath>

namespace vx::deckmath {

std::int64_t roundHalfEven(double x) {
    const double lower = std::floor(x);
    const double diff = x - lower;
    auto n = static_cast<std::int64_t>(lower);
    if (diff > 0.5 || (diff == 0.5 && (n % 2 != 0))) ++n;
    return n;
}

int pitchFrequency(int pitchValue, int baseFrequency, double pitchRange) {
    const double b = baseFrequency;
    if (pitchValue < kPitchCentre) {
        const double d = kPitchCentre - pitchValue;
        return static_cast<int>(roundHalfEven(b - (d * pitchRange / 100.0 / 100.0) * b));
    }
    const double d = pitchValue - kPitchCentre;
    return static_cast<int>(roundHalfEven((d * pitchRange / 100.0 / 100.0) * b + b));
}

QString formatPercent(double percent) {
    // Round as the decimal number a person reads: micro-units first absorb the binary error of values
    // such as 0.015, then halves go away from zero.
    const bool negative = percent < 0;
    const auto micro = std::llround(std::fabs(percent) * 1e6);
    const auto hundredths = (micro + 5000) / 10000;
    const QString text = QStringLiteral("%1.%2")
                             .arg(hundredths / 100)
                             .arg(static_cast<int>(hundredths % 100), 2, 10, QLatin1Char('0'));
    return negative && hundredths != 0 ? QLatin1Char('-') + text : text;
}

QString pitchText(int pitchValue, double pitchRange) {
    if (pitchValue == kPitchCentre) return QStringLiteral(" 0.00% ");
    const int d = std::abs(pitchValue - kPitchCentre);
    const QString sign = pitchValue < kPitchCentre ? QStringLiteral(" - ") : QStringLiteral(" + ");
    return sign + formatPercent(d * pitchRange / 100.0) + QLatin1Char('%');
}

int progressOf(std::int64_t position, std::int64_t length) {
    if (length <= 0) return 0;
    const auto p = roundHalfEven(static_cast<double>(position) / static_cast<double>(length) * 100.0);
    return static_cast<int>(std::clamp<std::int64_t>(p, 0, 100));
}

std::int64_t positionOfProgress(int progress, std::int64_t length) {
    return roundHalfEven(progress / 100.0 * static_cast<double>(length));
}

}  // namespace vx::deckmath
