#include "mixer/mix_maths.h"

#include <cmath>

namespace vx::mixer {

int roundHalfEven(double x) {
    const double lower = std::floor(x);
    const double diff = x - lower;
    double r = lower;
    if (diff > 0.5) {
        r = lower + 1.0;
    } else if (diff == 0.5) {
        r = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    }
    return static_cast<int>(r);
}

OutputLevels outputLevels(const MixInputs& in) {
    const double m = in.sliderMax > 0 ? in.sliderMax : 1;
    const double x = in.crossfader;
    const double v = in.mainVolume / m;
    const double l = in.leftLevel;
    const double r = in.rightLevel;
    OutputLevels out;
    if (x < m / 2.0) {
        out.right = roundHalfEven((2.0 * x / m) * (v * r));
        out.left = roundHalfEven(v * l);
    } else {
        out.right = roundHalfEven(v * r);
        out.left = roundHalfEven((2.0 * std::fabs(m - x) / m) * (v * l));
    }
    return out;
}

Balance channelBalance(int leftChannel, int rightChannel) {
    const double a = leftChannel;
    const double b = rightChannel;
    if (a == b) return {leftChannel, 0};
    if (a > b) return {leftChannel, roundHalfEven(100.0 * b / a - 100.0)};
    return {rightChannel, roundHalfEven(100.0 - 100.0 * a / b)};
}

StreamSplit monitorSplit(int monitorMode, OutputLevels levels, int monitorLevel) {
    StreamSplit split{{0, levels.left}, {0, levels.right}};
    if (monitorMode == kMonitorRight) {
        split.rightDeck = {monitorLevel, levels.right};
    } else if (monitorMode == kMonitorLeft) {
        split.leftDeck = {monitorLevel, levels.left};
    } else {
        split.leftDeck = {levels.left, levels.left};
        split.rightDeck = {levels.right, levels.right};
    }
    return split;
}

}  // namespace vx::mixer
