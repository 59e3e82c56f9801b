#include "platform/legacy/stretch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace platform {

namespace {

// The source pixels one destination pixel of a resampled axis is made of.
struct Taps {
    int first = 0;
    std::vector<float> weights; // for first, first + 1, ...; they sum to 1
};

std::vector<Taps> axis_taps(int from, int to) {
    std::vector<Taps> taps(static_cast<size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        Taps& t = taps[static_cast<size_t>(i)];
        if (scale >= 1.0) {
            // Shrinking: the average over the source span the pixel covers, each
            // source pixel weighted by how much of it lies inside.
            const double a = i * scale, b = a + scale;
            t.first = static_cast<int>(a);
            for (int s = t.first; s < from && s < b; ++s) {
                const double cover = std::min(b, s + 1.0) - std::max(a, static_cast<double>(s));
                t.weights.push_back(static_cast<float>(cover / scale));
            }
        } else {
            // Enlarging: linear between the two nearest source pixel centres.
            const double c = std::clamp((i + 0.5) * scale - 0.5, 0.0, from - 1.0);
            t.first = static_cast<int>(c);
            const auto f = static_cast<float>(c - t.first);
            t.weights = t.first + 1 < from ? std::vector<float>{1 - f, f} : std::vector<float>{1};
        }
    }
    return taps;
}

using Rgb = std::array<float, 3>;

Rgb channels(uint32_t xrgb) {
    return {static_cast<float>(xrgb >> 16 & 255), static_cast<float>(xrgb >> 8 & 255),
            static_cast<float>(xrgb & 255)};
}

uint32_t to_pixel(const Rgb& c) {
    uint32_t out = 0;
    for (float v : c) {
        out = out << 8 | static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L));
    }
    return out;
}

} // namespace

Bitmap stretch(const Bitmap& source, int width, int height) {
    if (source.bits_per_pixel() != 32 || source.width() < 1 || source.height() < 1 || width < 1 ||
        height < 1) {
        throw std::invalid_argument("stretch: needs a 32-bit picture and a size of at least 1 x 1");
    }
    // Rows first, then columns: each pass looks at one axis only.
    const std::vector<Taps> across = axis_taps(source.width(), width);
    const std::vector<Taps> down = axis_taps(source.height(), height);
    std::vector<Rgb> rows(static_cast<size_t>(source.height()) * static_cast<size_t>(width));
    for (int y = 0; y < source.height(); ++y) {
        const uint32_t* in = source.row(y);
        Rgb* out = &rows[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int x = 0; x < width; ++x) {
            const Taps& t = across[static_cast<size_t>(x)];
            Rgb sum{};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const Rgb c = channels(in[static_cast<size_t>(t.first) + k]);
                for (size_t ch = 0; ch < 3; ++ch) {
                    sum[ch] += c[ch] * t.weights[k];
                }
            }
            out[x] = sum;
        }
    }
    Bitmap result(width, height);
    for (int y = 0; y < height; ++y) {
        const Taps& t = down[static_cast<size_t>(y)];
        uint32_t* out = result.row(y);
        for (int x = 0; x < width; ++x) {
            Rgb sum{};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const Rgb& c =
                    rows[(static_cast<size_t>(t.first) + k) * static_cast<size_t>(width) +
                         static_cast<size_t>(x)];
                for (size_t ch = 0; ch < 3; ++ch) {
                    sum[ch] += c[ch] * t.weights[k];
                }
            }
            out[x] = to_pixel(sum);
        }
    }
    return result;
}

} // namespace platform
