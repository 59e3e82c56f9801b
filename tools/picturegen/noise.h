#pragma once

#include "scene.h"

#include <cstdint>

namespace picturegen {

// A small generator of our own, so that a seed gives the same picture with
// every compiler and standard library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next();
    double unit(); // [0, 1)
    double within(const Range& range) { return range.low + (range.high - range.low) * unit(); }

  private:
    std::uint64_t state_;
};

// Gradient noise summed over octaves, 0..1, features about one unit wide.
double fractal_noise(double x, double y, std::uint64_t seed, int octaves);

} // namespace picturegen
