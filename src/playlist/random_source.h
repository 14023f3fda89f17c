#pragma once

#include <cstdint>
#include <random>

namespace vx::playlist {

// A uniform pseudo-random source over [0, 1). The program shares one, started from a fixed value and never
// seeded from the clock, so that a shuffle is repeatable.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

class FixedSeedRandom : public RandomSource {
  public:
    static constexpr std::uint32_t kStartValue = 327680;
    explicit FixedSeedRandom(std::uint32_t start = kStartValue) : engine_(start) {}
    double next() override { return double(engine_()) / 4294967296.0; }

  private:
    std::mt19937 engine_;
};

}  // namespace vx::playlist
