#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace picturegen {

Rgba premultiply(const Color& color, float alpha) {
    const float a = color.a * alpha;
    return {color.r * a, color.g * a, color.b * a, a};
}

namespace {

float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

float mix_channel(float s, float d, float sa, float da, Blend blend) {
    switch (blend) {
    case Blend::Add:
        return s + d;
    case Blend::Screen:
        return s + d - s * d;
    case Blend::Multiply:
        return s * d + s * (1 - da) + d * (1 - sa);
    case Blend::Atop:
        return s * da + d * (1 - sa);
    case Blend::Normal:
        break;
    }
    return s + d * (1 - sa);
}

// Box widths whose three passes add up to a Gaussian of the given sigma.
std::vector<int> box_radii(double sigma) {
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0) {
        --lower;
    }
    const int upper = lower + 2;
    const double m_ideal =
        (12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4);
    const int m = static_cast<int>(std::round(m_ideal));
    std::vector<int> radii;
    for (int i = 0; i < 3; ++i) {
        radii.push_back(((i < m ? lower : upper) - 1) / 2);
    }
    return radii;
}

// One box pass over `count` samples spaced `stride` apart; outside is transparent.
void box_pass(Rgba* line, int count, std::size_t stride, int radius, std::vector<Rgba>& scratch) {
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        scratch[static_cast<std::size_t>(i)] = line[static_cast<std::size_t>(i) * stride];
    }
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    Rgba sum;
    auto add = [&](int i, float sign) {
        if (i >= 0 && i < count) {
            const Rgba& p = scratch[static_cast<std::size_t>(i)];
            sum.r += sign * p.r;
            sum.g += sign * p.g;
            sum.b += sign * p.b;
            sum.a += sign * p.a;
        }
    };
    for (int i = -radius; i < radius; ++i) {
        add(i, 1);
    }
    for (int i = 0; i < count; ++i) {
        add(i + radius, 1);
        Rgba& out = line[static_cast<std::size_t>(i) * stride];
        out = {std::max(sum.r * scale, 0.0f), std::max(sum.g * scale, 0.0f),
               std::max(sum.b * scale, 0.0f), std::max(sum.a * scale, 0.0f)};
        add(i - radius, -1);
    }
}

} // namespace

void blend_into(Rgba& dst, const Rgba& src, Blend blend) {
    dst.r = clamp01(mix_channel(src.r, dst.r, src.a, dst.a, blend));
    dst.g = clamp01(mix_channel(src.g, dst.g, src.a, dst.a, blend));
    dst.b = clamp01(mix_channel(src.b, dst.b, src.a, dst.a, blend));
    if (blend != Blend::Atop) {
        dst.a = clamp01(src.a + dst.a * (1 - src.a));
    }
}

void blur(Canvas& canvas, double sigma_x, double sigma_y) {
    const int w = canvas.width(), h = canvas.height();
    std::vector<Rgba> scratch;
    if (sigma_x > 0) {
        for (int radius : box_radii(sigma_x)) {
            for (int y = 0; y < h && radius > 0; ++y) {
                box_pass(&canvas.at(0, y), w, 1, radius, scratch);
            }
        }
    }
    if (sigma_y > 0) {
        for (int radius : box_radii(sigma_y)) {
            for (int x = 0; x < w && radius > 0; ++x) {
                box_pass(&canvas.at(x, 0), h, static_cast<std::size_t>(w), radius, scratch);
            }
        }
    }
}

} // namespace picturegen
