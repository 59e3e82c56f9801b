#include "platform/sdl/text_rasterizer.h"
#include "platform/sdl/handles.h"
#include "platform/system/quoting.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>

namespace platform {

class SdlTextRasterizer::FontCache {
  public:
    FontCache() {
        if (!TTF_WasInit() && TTF_Init() != 0) {
            throw std::runtime_error(std::string("cannot start the font renderer: ") +
                                     TTF_GetError());
        }
    }
    TTF_Font* get(const Font& font) {
        auto key = std::make_tuple(font.family, font_pixels(font.size_pt), font.bold, font.smooth);
        auto it = fonts_.find(key);
        if (it != fonts_.end()) {
            return it->second.get();
        }
        const bool bold_face = font.bold && has_bold_face(font.family);
        const std::string file = font_file(font.family, bold_face);
        TTF_Font* f = TTF_OpenFont(file.c_str(), std::get<1>(key));
        if (!f) {
            throw std::runtime_error("cannot open the font file " + quoted_path(file) + ": " +
                                     TTF_GetError());
        }
        TTF_SetFontStyle(f, font.bold && !bold_face ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
        if (!font.smooth) {
            // Outlines fitted to whole pixels, or unsmoothed strokes come out uneven.
            TTF_SetFontHinting(f, TTF_HINTING_MONO);
        }
        fonts_.emplace(key, sdl::FontPtr(f));
        return f;
    }

  private:
    std::map<std::tuple<std::string, int, bool, bool>, sdl::FontPtr> fonts_;
};

SdlTextRasterizer::SdlTextRasterizer() = default;

SdlTextRasterizer::~SdlTextRasterizer() = default;

SdlTextRasterizer::FontCache& SdlTextRasterizer::fonts() {
    if (!fonts_) {
        fonts_ = std::make_unique<FontCache>();
    }
    return *fonts_;
}

int SdlTextRasterizer::text_width(std::string_view utf8, const Font& font) {
    int w = 0, h = 0;
    TTF_SizeUTF8(fonts().get(font), std::string(utf8).c_str(), &w, &h);
    return w;
}

int SdlTextRasterizer::line_height(const Font& font) {
    return TTF_FontLineSkip(fonts().get(font));
}

void SdlTextRasterizer::draw_line(TextMask& dst, int x, int y, std::string_view utf8,
                                  const Font& font) {
    TTF_Font* f = fonts().get(font);
    const std::string text(utf8);
    const SDL_Color white{255, 255, 255, 255};
    sdl::SurfacePtr s(font.smooth ? TTF_RenderUTF8_Blended(f, text.c_str(), white)
                                  : TTF_RenderUTF8_Solid(f, text.c_str(), white));
    if (!s) {
        return;
    }
    // Clip once, then copy whole rows of coverage: the alpha of the smooth renderer's
    // ARGB8888, or in the unsmoothed one's 8-bit palette every index but the background's 0.
    const bool palette = s->format->BytesPerPixel == 1;
    const int i0 = std::max(0, -x), i1 = std::min(s->w, dst.width - x);
    const int j0 = std::max(0, -y), j1 = std::min(s->h, dst.height - y);
    for (int j = j0; j < j1; ++j) {
        const auto* row = static_cast<const uint8_t*>(s->pixels) + ptrdiff_t(j) * s->pitch;
        const auto* argb = reinterpret_cast<const uint32_t*>(row);
        uint8_t* out = dst.coverage.data() + size_t(y + j) * size_t(dst.width) + size_t(x);
        for (int i = i0; i < i1; ++i) {
            const auto c = palette ? uint8_t(row[i] != 0 ? 255 : 0) : uint8_t(argb[i] >> 24);
            out[i] = std::max(out[i], c);
        }
    }
}

} // namespace platform
