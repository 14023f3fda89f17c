#pragma once

#include <cstdint>

namespace vx {

// The master meters' clip/limit light. The output's limit count grows whenever the output had to be
// held down; the light comes on at the tick that sees it grow and holds for `holdTicks` ticks after the
// last growth, so that one short over is still seen.
class LimitLight {
  public:
    explicit LimitLight(int holdTicks, std::uint32_t count = 0) : hold_(holdTicks), last_(count) {}

    // One display tick with the current count. Answers whether the light changed.
    bool tick(std::uint32_t count);
    bool lit() const { return left_ > 0; }

  private:
    int hold_;
    std::uint32_t last_;
    int left_ = 0;  // ticks the light stays on
};

}  // namespace vx
