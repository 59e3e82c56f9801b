#pragma once
// Text in the window system's fonts, drawn onto 32-bit bitmaps. Line breaking,
// blending and the choice of font file live here; turning glyphs into pixels is
// left to a TextRasterizer, which the SDL backend supplies.

#include "platform/system/bitmap.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Font {
    std::string family = "ＭＳ Ｐゴシック";
    double size_pt = 9.0;
    bool bold = false;
    // Off: every pixel inked or not, for text so small that smoothing blurs its digits.
    bool smooth = true;
    bool operator==(const Font&) const = default;
};

// Points to pixels at 96 dpi, rounded (14.25 pt is 19 px).
int font_pixels(double size_pt);

// No face at all for a family: the message says which font the game needs.
class FontNotFound : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The font file that stands in for a family name ("ＭＳ 明朝" -> IPAMincho ...), its bold
// face when `bold` and the family has one; throws FontNotFound when there is none.
std::string font_file(const std::string& family, bool bold = false);

// Whether the family's stand-in has a bold face of its own. The IPA faces have none: their
// bold is drawn by thickening the regular strokes.
bool has_bold_face(const std::string& family);

// How much of each pixel text covers (0-255): rendered once, blended in any colour
// as often as needed.
struct TextMask {
    TextMask() = default;
    TextMask(int w, int h) : width(w), height(h), coverage(size_t(w) * size_t(h), 0) {}
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
};

// Measures and draws single lines of text in a font.
class TextRasterizer {
  public:
    virtual ~TextRasterizer() = default;
    virtual int text_width(std::string_view utf8, const Font& font) = 0;
    virtual int line_height(const Font& font) = 0;
    // Adds the coverage of one line to `dst`, top-left at (x, y), clipped to the mask.
    virtual void draw_line(TextMask& dst, int x, int y, std::string_view utf8,
                           const Font& font) = 0;
};

// Makes `rasterizer` the one every text function below uses (null: none) and
// returns the one used before. A program's main() installs the SDL backend's
// (SdlServices); without one, measuring or drawing text throws std::logic_error.
TextRasterizer* install_text_rasterizer(TextRasterizer* rasterizer);

int text_width(std::string_view utf8, const Font& font);
int line_height(const Font& font);

// Draws one line with a transparent background, top-left at (x, y), clipped to the bitmap.
void draw_text_line(Bitmap& dst, int x, int y, std::string_view utf8, const Font& font,
                    ColorRef color);

// Adds one line of text to a mask, top-left at (x, y), clipped to the mask.
void draw_text_line(TextMask& dst, int x, int y, std::string_view utf8, const Font& font);

// Blends a mask in one colour onto a 32-bit bitmap, mask top-left at (x, y), clipped.
void blend_mask(Bitmap& dst, int x, int y, const TextMask& mask, ColorRef color);

// Breaks text into lines no wider than `width` pixels, by the line-breaking rules
// of Japanese and of the Latin script; explicit newlines always break. A run that
// cannot be broken and is wider than `width` is broken between characters.
std::vector<std::string> wrap_text(std::string_view utf8, const Font& font, int width);

} // namespace platform
