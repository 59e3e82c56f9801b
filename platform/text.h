#pragma once
// Text in the window system's fonts, drawn onto 32-bit bitmaps.

#include "platform/gdi.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Font {
    std::string family = "ＭＳ Ｐゴシック";
    double size_pt = 9.0;
    bool bold = false;
    bool operator==(const Font&) const = default;
};

// Points to pixels at 96 dpi, rounded (14.25 pt is 19 px).
int font_pixels(double size_pt);

// The font file that stands in for a family name ("ＭＳ 明朝" -> IPAMincho ...).
std::string font_file(const std::string& family);

int text_width(std::string_view utf8, const Font& font);
int line_height(const Font& font);

// Draws one line with a transparent background, top-left at (x, y), clipped to the bitmap.
void draw_text_line(Bitmap& dst, int x, int y, std::string_view utf8, const Font& font,
                    ColorRef color);

// How much of each pixel text covers (0-255): rendered once, blended in any colour
// as often as needed.
struct TextMask {
    TextMask() = default;
    TextMask(int width, int height)
        : width(width), height(height), coverage(size_t(width) * size_t(height), 0) {}
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
};

// Adds one line of text to a mask, top-left at (x, y), clipped to the mask.
void draw_text_line(TextMask& dst, int x, int y, std::string_view utf8, const Font& font);

// Blends a mask in one colour onto a 32-bit bitmap, mask top-left at (x, y), clipped.
void blend_mask(Bitmap& dst, int x, int y, const TextMask& mask, ColorRef color);

// Breaks text into lines no wider than `width` pixels, by the line-breaking rules
// of Japanese and of the Latin script; explicit newlines always break. A run that
// cannot be broken and is wider than `width` is broken between characters.
std::vector<std::string> wrap_text(std::string_view utf8, const Font& font, int width);

} // namespace platform
