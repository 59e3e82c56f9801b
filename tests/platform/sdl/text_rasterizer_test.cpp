#include "platform/sdl/text_rasterizer.h"

#include "platform/sdl/handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using platform::Font;
using platform::TextMask;

// What SDL_ttf draws for the whole line, shaped at once, as the coverage of a mask.
TextMask shaped_whole(const Font& font, const std::string& text) {
    if (!TTF_WasInit() && TTF_Init() != 0) {
        throw std::runtime_error(TTF_GetError());
    }
    const sdl::FontPtr f(TTF_OpenFont(platform::font_file(font.family).c_str(),
                                      platform::font_pixels(font.size_pt)));
    if (!f) {
        throw std::runtime_error(TTF_GetError());
    }
    TTF_SetFontHinting(f.get(), TTF_HINTING_MONO);
    int w = 0, h = 0;
    TTF_SizeUTF8(f.get(), text.c_str(), &w, &h);
    TextMask mask(w, TTF_FontLineSkip(f.get()));
    const sdl::SurfacePtr s(TTF_RenderUTF8_Solid(f.get(), text.c_str(), {255, 255, 255, 255}));
    if (!s) {
        throw std::runtime_error(TTF_GetError());
    }
    for (int y = 0; y < std::min(s->h, mask.height); ++y) {
        const auto* row = static_cast<const uint8_t*>(s->pixels) + ptrdiff_t(y) * s->pitch;
        for (int x = 0; x < std::min(s->w, mask.width); ++x) {
            mask.coverage[size_t(y * mask.width + x)] = row[x] != 0 ? 255 : 0;
        }
    }
    return mask;
}

} // namespace

// Unsmoothed ASCII is put together from characters drawn once: every line must come out
// exactly as shaping it whole draws it, in width and in every pixel.
TEST(SdlText, LinesOfKeptCharactersMatchTheWholeLineShaped) {
    Font crisp{"ＭＳ ゴシック", 7.5, false};
    crisp.smooth = false;
    std::vector<std::string> lines = {" 2147483647 ", "Overflow (6) {x} ~|_@#", "ルーシャ 12"};
    for (int n = 0; n < 3000; n += 7) {
        lines.push_back(" " + std::to_string(n) + " ");
    }
    std::string ascii;
    for (char c = ' '; c <= '~'; ++c) {
        ascii += c;
    }
    lines.push_back(ascii);

    platform::SdlTextRasterizer rasterizer;
    for (int pass = 0; pass < 2; ++pass) { // the second from what the first kept
        for (const std::string& line : lines) {
            const TextMask expected = shaped_whole(crisp, line);
            ASSERT_EQ(rasterizer.text_width(line, crisp), expected.width) << line;
            TextMask drawn(expected.width, expected.height);
            rasterizer.draw_line(drawn, 0, 0, line, crisp);
            EXPECT_EQ(drawn.coverage, expected.coverage) << line;
        }
    }
}
