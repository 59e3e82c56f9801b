#include "icon.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace icongen {
namespace {

using sheetgen::PixelMap;
using sheetgen::SheetPalette;

// The rectangle that holds every pixel of the art besides the key colour.
struct ArtBox {
    int left = 0, top = 0, width = 0, height = 0;
};

ArtBox drawn_box(const PixelMap& art) {
    int left = art.width(), top = art.height(), right = -1, bottom = -1;
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            if (art.at(x, y) != SheetPalette::key_index) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        throw IconError("the art has no pixels besides the key colour");
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

// The margin keeps the art off the square's rounded edge; small icons give it up
// rather than shrink the art, which a whole factor cannot do.
int enlargement(const ArtBox& box, int size) {
    const int extent = std::max(box.width, box.height);
    if (extent > size) {
        throw IconError("the art's " + std::to_string(box.width) + "x" +
                        std::to_string(box.height) + " pixels do not fit a " +
                        std::to_string(size) + "-pixel icon");
    }
    const int margin = size / 16;
    return std::max(1, (size - 2 * margin) / extent);
}

// Night blue, lighter at the top, like the sky the fighter flies in.
Rgba square_colour(int y, int size) {
    constexpr Rgba top{30, 44, 94, 255}, bottom{8, 12, 34, 255};
    const auto mix = [&](std::uint8_t from, std::uint8_t to) {
        return static_cast<std::uint8_t>(from + (to - from) * y / std::max(1, size - 1));
    };
    return {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b), 255};
}

// How much of pixel (x, y) the rounded square covers, in 1/16ths, from a 4x4 grid of samples.
int square_coverage(int x, int y, int size) {
    constexpr int grid = 4;
    // Lengths in 1/(2*grid) pixel, so that every sample's centre is a whole number.
    constexpr long long unit = 2 * grid;
    const long long radius = size * 3 / 16 * unit;
    const long long low = radius, high = size * unit - radius;
    int inside = 0;
    for (int sy = 0; sy < grid; ++sy) {
        for (int sx = 0; sx < grid; ++sx) {
            const long long px = (x * grid + sx) * 2 + 1, py = (y * grid + sy) * 2 + 1;
            const long long dx = std::max({low - px, 0LL, px - high});
            const long long dy = std::max({low - py, 0LL, py - high});
            if (dx * dx + dy * dy <= radius * radius) {
                ++inside;
            }
        }
    }
    return inside;
}

void draw_square(RgbaImage& icon) {
    const int size = icon.width();
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgba colour = square_colour(y, size);
            colour.a = static_cast<std::uint8_t>((255 * square_coverage(x, y, size) + 8) / 16);
            icon.at(x, y) = colour;
        }
    }
}

void draw_art(RgbaImage& icon, const PixelMap& art, const SheetPalette& palette) {
    const int size = icon.width();
    const ArtBox box = drawn_box(art);
    const int factor = enlargement(box, size);
    const int left = (size - box.width * factor) / 2, top = (size - box.height * factor) / 2;
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            const std::uint8_t index = art.at(box.left + x, box.top + y);
            if (index == SheetPalette::key_index) {
                continue;
            }
            if (index >= palette.colors().size()) {
                throw IconError("the art uses colour " + std::to_string(index) +
                                " of a palette of " + std::to_string(palette.colors().size()));
            }
            const sheetgen::Rgb& rgb = palette.colors()[index];
            for (int dy = 0; dy < factor; ++dy) {
                for (int dx = 0; dx < factor; ++dx) {
                    icon.at(left + x * factor + dx, top + y * factor + dy) = {rgb.r, rgb.g, rgb.b,
                                                                              255};
                }
            }
        }
    }
}

// Averages weighted by alpha, so that the colour of a transparent pixel does not tint its
// neighbours.
Rgba block_average(const RgbaImage& big, int left, int top, int factor) {
    long long r = 0, g = 0, b = 0, a = 0;
    for (int y = top; y < top + factor; ++y) {
        for (int x = left; x < left + factor; ++x) {
            const Rgba& p = big.at(x, y);
            r += p.r * p.a;
            g += p.g * p.a;
            b += p.b * p.a;
            a += p.a;
        }
    }
    if (a == 0) {
        return {};
    }
    const auto share = [](long long sum, long long whole) {
        return static_cast<std::uint8_t>((sum + whole / 2) / whole);
    };
    return {share(r, a), share(g, a), share(b, a), share(a, factor * factor)};
}

RgbaImage shrink(const RgbaImage& big, int factor) {
    RgbaImage small(big.width() / factor, big.height() / factor);
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            small.at(x, y) = block_average(big, x * factor, y * factor, factor);
        }
    }
    return small;
}

void check_size(int size) {
    if (size < kSmallestIcon || size > kLargestIcon) {
        throw IconError("an icon is " + std::to_string(kSmallestIcon) + " to " +
                        std::to_string(kLargestIcon) + " pixels square, not " +
                        std::to_string(size));
    }
}

int read_icon_size(std::string_view text, int largest) {
    int size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (error != std::errc() || end != text.data() + text.size() || size < kSmallestIcon ||
        size > largest) {
        throw IconError("an icon size is a whole number from " + std::to_string(kSmallestIcon) +
                        " to " + std::to_string(largest) + ", not '" + std::string(text) + "'");
    }
    return size;
}

} // namespace

RgbaImage draw_icon(const PixelMap& art, const SheetPalette& palette, int size) {
    check_size(size);
    RgbaImage icon(size, size);
    draw_square(icon);
    draw_art(icon, art, palette);
    return icon;
}

RgbaImage draw_shrunk_icon(const PixelMap& art, const SheetPalette& palette, int size) {
    check_size(size);
    const ArtBox box = drawn_box(art);
    const int extent = std::max(box.width, box.height);
    const int factor = (extent + size - 1) / size;
    if (factor <= 1) {
        return draw_icon(art, palette, size);
    }
    if (extent > kLargestIcon || size * factor > kLargestIcon) {
        throw IconError("the art's " + std::to_string(box.width) + "x" +
                        std::to_string(box.height) + " pixels are too many to shrink into a " +
                        std::to_string(size) + "-pixel icon");
    }
    return shrink(draw_icon(art, palette, size * factor), factor);
}

std::vector<int> read_icon_sizes(std::string_view list, int largest) {
    std::vector<int> sizes;
    while (true) {
        const std::size_t comma = list.find(',');
        const int size = read_icon_size(list.substr(0, comma), largest);
        if (std::find(sizes.begin(), sizes.end(), size) != sizes.end()) {
            throw IconError("the size " + std::to_string(size) + " is listed twice");
        }
        sizes.push_back(size);
        if (comma == std::string_view::npos) {
            return sizes;
        }
        list.remove_prefix(comma + 1);
    }
}

} // namespace icongen
