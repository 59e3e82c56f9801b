#include "noise.h"

#include <algorithm>
#include <cmath>

namespace picturegen {

std::uint64_t Random::next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

double Random::unit() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

namespace {

std::uint64_t hash(std::int64_t x, std::int64_t y, std::uint64_t seed) {
    Random r(seed ^ (static_cast<std::uint64_t>(x) * 0x632be59bd9b4e019ULL) ^
             (static_cast<std::uint64_t>(y) * 0x85157af5ULL));
    return r.next();
}

double lattice_gradient(std::int64_t ix, std::int64_t iy, std::uint64_t seed, double dx,
                        double dy) {
    // Eight evenly spread directions are plenty for soft textures.
    static constexpr double kDirections[8][2] = {{1, 0},
                                                 {-1, 0},
                                                 {0, 1},
                                                 {0, -1},
                                                 {0.7071, 0.7071},
                                                 {-0.7071, 0.7071},
                                                 {0.7071, -0.7071},
                                                 {-0.7071, -0.7071}};
    const auto& g = kDirections[hash(ix, iy, seed) & 7];
    return g[0] * dx + g[1] * dy;
}

double fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

// About -0.7..0.7.
double gradient_noise(double x, double y, std::uint64_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::int64_t>(fx), iy = static_cast<std::int64_t>(fy);
    const double dx = x - fx, dy = y - fy;
    const double n00 = lattice_gradient(ix, iy, seed, dx, dy);
    const double n10 = lattice_gradient(ix + 1, iy, seed, dx - 1, dy);
    const double n01 = lattice_gradient(ix, iy + 1, seed, dx, dy - 1);
    const double n11 = lattice_gradient(ix + 1, iy + 1, seed, dx - 1, dy - 1);
    const double u = fade(dx), v = fade(dy);
    const double top = n00 + (n10 - n00) * u, bottom = n01 + (n11 - n01) * u;
    return top + (bottom - top) * v;
}

} // namespace

double fractal_noise(double x, double y, std::uint64_t seed, int octaves) {
    double sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * gradient_noise(x, y, seed + static_cast<std::uint64_t>(i) * 7919);
        total += amplitude;
        x = x * 2.03 + 17.1;
        y = y * 2.03 - 11.3;
        amplitude *= 0.5;
    }
    // Widened so that the usual values span most of 0..1.
    return std::clamp(0.5 + 1.4 * sum / total, 0.0, 1.0);
}

} // namespace picturegen
