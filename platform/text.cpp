#include "platform/text.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <linebreak.h>

#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <tuple>

namespace platform {

namespace {

// The Windows Japanese families and the metric-compatible IPA faces that stand in for them.
const std::map<std::string, std::string>& family_map() {
    static const std::map<std::string, std::string> map = {
        {"ＭＳ 明朝", "IPAMincho"},     {"ＭＳ Ｐ明朝", "IPAPMincho"},
        {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ Ｐゴシック", "IPAPGothic"},
    };
    return map;
}

struct FontDeleter {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};

class FontCache {
  public:
    FontCache() {
        if (!TTF_WasInit() && TTF_Init() != 0) {
            throw std::runtime_error(std::string("cannot start the font renderer: ") +
                                     TTF_GetError());
        }
    }
    TTF_Font* get(const Font& font) {
        auto key = std::make_tuple(font.family, font_pixels(font.size_pt), font.bold);
        auto it = fonts_.find(key);
        if (it != fonts_.end()) {
            return it->second.get();
        }
        const std::string file = font_file(font.family);
        TTF_Font* f = TTF_OpenFont(file.c_str(), std::get<1>(key));
        if (!f) {
            throw std::runtime_error("cannot open font \"" + file + "\" for \"" + font.family +
                                     "\": " + TTF_GetError());
        }
        TTF_SetFontStyle(f, font.bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
        fonts_.emplace(key, std::unique_ptr<TTF_Font, FontDeleter>(f));
        return f;
    }

  private:
    std::map<std::tuple<std::string, int, bool>, std::unique_ptr<TTF_Font, FontDeleter>> fonts_;
};

FontCache& cache() {
    static FontCache instance;
    return instance;
}

uint32_t blend(uint32_t dst, uint32_t color, uint32_t alpha) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t d = (dst >> shift) & 255, c = (color >> shift) & 255;
        out |= ((c * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

} // namespace

int font_pixels(double size_pt) { return static_cast<int>(std::lround(size_pt * 96.0 / 72.0)); }

std::string font_file(const std::string& family) {
    auto it = family_map().find(family);
    const std::string wanted = it != family_map().end() ? it->second : family;
    FcInit();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(wanted.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
    }
    if (match) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    if (file.empty()) {
        throw std::runtime_error("no font found for \"" + family + "\"");
    }
    return file;
}

int text_width(std::string_view utf8, const Font& font) {
    if (utf8.empty()) {
        return 0;
    }
    int w = 0, h = 0;
    TTF_SizeUTF8(cache().get(font), std::string(utf8).c_str(), &w, &h);
    return w;
}

int line_height(const Font& font) { return TTF_FontLineSkip(cache().get(font)); }

void draw_text_line(Bitmap& dst, int x, int y, std::string_view utf8, const Font& font,
                    ColorRef color) {
    if (utf8.empty() || dst.bits_per_pixel() != 32) {
        return;
    }
    SDL_Surface* s = TTF_RenderUTF8_Blended(cache().get(font), std::string(utf8).c_str(),
                                            SDL_Color{255, 255, 255, 255});
    if (!s) {
        return;
    }
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> owned(s, SDL_FreeSurface);
    const uint32_t xrgb = to_xrgb(color);
    for (int j = 0; j < s->h; ++j) {
        int py = y + j;
        if (py < 0 || py >= dst.height()) {
            continue;
        }
        const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                            ptrdiff_t(j) * s->pitch);
        for (int i = 0; i < s->w; ++i) {
            int px = x + i;
            uint32_t alpha = src[i] >> 24; // ARGB8888
            if (px >= 0 && px < dst.width() && alpha != 0) {
                dst.set_pixel(px, py, blend(dst.pixel(px, py), xrgb, alpha));
            }
        }
    }
}

std::vector<std::string> wrap_text(std::string_view utf8, const Font& font, int width) {
    static const bool initialised = (init_linebreak(), true);
    (void)initialised;
    std::vector<std::string> lines;
    const std::string text(utf8);
    std::vector<char> breaks(text.size());
    set_linebreaks_utf8(reinterpret_cast<const utf8_t*>(text.data()), text.size(), "ja",
                        breaks.data());
    std::string line;    // the line being filled
    std::string pending; // text since the last break opportunity
    auto flush_pending = [&] {
        std::string candidate = line + pending;
        // Trailing spaces do not count against the width.
        std::string measured = candidate.substr(0, candidate.find_last_not_of(' ') + 1);
        if (!line.empty() && text_width(measured, font) > width) {
            lines.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
            line = pending;
        } else {
            line = std::move(candidate);
        }
        pending.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (breaks[i] == LINEBREAK_MUSTBREAK && (text[i] == '\n' || text[i] == '\r')) {
            flush_pending();
            lines.push_back(line);
            line.clear();
            continue;
        }
        if (text[i] == '\n' || text[i] == '\r') {
            continue; // the second byte of a CR LF pair
        }
        pending += text[i];
        if (breaks[i] == LINEBREAK_ALLOWBREAK) {
            flush_pending();
        }
    }
    flush_pending();
    if (!line.empty() || lines.empty()) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace platform
