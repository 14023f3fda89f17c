#include "options/setting_text.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace vx {

double leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    auto digitsAt = [&](qsizetype at) {
        qsizetype n = 0;
        while (at + n < t.size() && t[at + n].isDigit() && t[at + n].unicode() < 128) ++n;
        return n;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    const qsizetype intDigits = digitsAt(i);
    i += intDigits;
    qsizetype fracDigits = 0;
    if (i < t.size() && t[i] == '.') {
        fracDigits = digitsAt(i + 1);
        if (intDigits + fracDigits > 0) i += 1 + fracDigits;
    }
    if (intDigits + fracDigits == 0) return 0.0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (const qsizetype expDigits = digitsAt(j); expDigits > 0) i = j + expDigits;
    }
    bool ok = false;
    const double value = t.left(i).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

namespace {
int clampedRound(double value, double low, double high) {
    if (!(value >= low)) return static_cast<int>(low);
    if (value > high) return static_cast<int>(high);
    return static_cast<int>(std::lround(value));
}
}  // namespace

int leadingInt16(const QString& text) {
    return clampedRound(leadingNumber(text), std::numeric_limits<std::int16_t>::min(),
                        std::numeric_limits<std::int16_t>::max());
}

int leadingInt32(const QString& text) {
    return clampedRound(leadingNumber(text), std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max());
}

QString numberText(double value) {
    return QString::number(value, 'g', 15);
}
QString numberText(float value) {
    return QString::number(static_cast<double>(value), 'g', 7);
}

}  // namespace vx
