#include "platform/sdl/text_rasterizer.h"
#include "platform/sdl/handles.h"
#include "platform/system/quoting.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>

namespace platform {

namespace {

// Adds a rendered surface's coverage to `dst`, top-left at (x, y), clipped: the alpha of the
// smooth renderer's ARGB8888, or in the unsmoothed one's 8-bit palette every index but the
// background's 0.
void add_coverage(TextMask& dst, int x, int y, const SDL_Surface& s) {
    const bool palette = s.format->BytesPerPixel == 1;
    const int i0 = std::max(0, -x), i1 = std::min(s.w, dst.width - x);
    const int j0 = std::max(0, -y), j1 = std::min(s.h, dst.height - y);
    for (int j = j0; j < j1; ++j) {
        const auto* row = static_cast<const uint8_t*>(s.pixels) + ptrdiff_t(j) * s.pitch;
        const auto* argb = reinterpret_cast<const uint32_t*>(row);
        uint8_t* out = dst.coverage.data() + size_t(y + j) * size_t(dst.width);
        for (int i = i0; i < i1; ++i) {
            const auto c = palette ? uint8_t(row[i] != 0 ? 255 : 0) : uint8_t(argb[i] >> 24);
            out[x + i] = std::max(out[x + i], c);
        }
    }
}

void add_coverage(TextMask& dst, int x, int y, const TextMask& src) {
    const int i0 = std::max(0, -x), i1 = std::min(src.width, dst.width - x);
    const int j0 = std::max(0, -y), j1 = std::min(src.height, dst.height - y);
    for (int j = j0; j < j1; ++j) {
        const uint8_t* in = src.coverage.data() + size_t(j) * size_t(src.width);
        uint8_t* out = dst.coverage.data() + size_t(y + j) * size_t(dst.width);
        for (int i = i0; i < i1; ++i) {
            out[x + i] = std::max(out[x + i], in[i]);
        }
    }
}

int measured_width(TTF_Font* f, const std::string& text) {
    int w = 0, h = 0;
    TTF_SizeUTF8(f, text.c_str(), &w, &h);
    return w;
}

void render(TextMask& dst, int x, int y, TTF_Font* f, const std::string& text, bool smooth) {
    const SDL_Color white{255, 255, 255, 255};
    const sdl::SurfacePtr s(smooth ? TTF_RenderUTF8_Blended(f, text.c_str(), white)
                                   : TTF_RenderUTF8_Solid(f, text.c_str(), white));
    if (s) {
        add_coverage(dst, x, y, *s);
    }
}

bool is_printable_ascii(char c) {
    return c >= ' ' && c <= '~';
}

// The unsmoothed picture of a text, as wide as the text's advance; nothing when the
// picture is wider or narrower than that.
std::optional<TextMask> advance_wide_picture(TTF_Font* f, const std::string& text) {
    const SDL_Color white{255, 255, 255, 255};
    const sdl::SurfacePtr s(TTF_RenderUTF8_Solid(f, text.c_str(), white));
    if (!s || s->w != measured_width(f, text)) {
        return std::nullopt;
    }
    TextMask picture(s->w, s->h);
    add_coverage(picture, 0, 0, *s);
    return picture;
}

// An unsmoothed face is hinted to whole-pixel advances, so a line of ASCII in it is, pair
// by pair, its characters' pictures side by side wherever the face neither kerns nor joins
// them. Each character is then shaped and rendered once, each pair checked once, not every
// time the frame count is printed.
class CharacterCells {
  public:
    CharacterCells(TTF_Font* f, const Font& font) : font_(f), usable_(!font.smooth) {}

    // Whether the line is its characters' cells side by side (cell() gives them).
    bool cover(std::string_view utf8) {
        if (!usable_ || !std::all_of(utf8.begin(), utf8.end(),
                                     [this](char c) { return is_printable_ascii(c) && cell(c); })) {
            return false;
        }
        for (size_t i = 1; i < utf8.size(); ++i) {
            if (!side_by_side(utf8[i - 1], utf8[i])) {
                return false;
            }
        }
        return true;
    }

    // The character's picture; null when it reaches past its advance.
    const TextMask* cell(char c) {
        if (!tried_[index(c)]) {
            tried_[index(c)] = true;
            cells_[index(c)] = advance_wide_picture(font_, std::string(1, c));
        }
        const std::optional<TextMask>& kept = cells_[index(c)];
        return kept ? &*kept : nullptr;
    }

  private:
    enum class Pair : uint8_t { Unknown, SideBySide, Shaped };
    static constexpr size_t kCount = '~' - ' ' + 1;

    static size_t index(char c) { return size_t(c - ' '); }

    bool side_by_side(char a, char b) {
        Pair& known = pairs_[index(a) * kCount + index(b)];
        if (known == Pair::Unknown) {
            known = drawn_side_by_side(a, b) ? Pair::SideBySide : Pair::Shaped;
        }
        return known == Pair::SideBySide;
    }

    bool drawn_side_by_side(char a, char b) {
        const TextMask &first = *cell(a), &second = *cell(b);
        const std::optional<TextMask> drawn = advance_wide_picture(font_, std::string{a, b});
        if (!drawn || drawn->width != first.width + second.width || drawn->height != first.height ||
            drawn->height != second.height) {
            return false;
        }
        TextMask composed(drawn->width, drawn->height);
        add_coverage(composed, 0, 0, first);
        add_coverage(composed, first.width, 0, second);
        return composed.coverage == drawn->coverage;
    }

    TTF_Font* font_;
    bool usable_;
    std::array<std::optional<TextMask>, kCount> cells_;
    std::array<bool, kCount> tried_{};
    std::array<Pair, kCount * kCount> pairs_{};
};

} // namespace

class SdlTextRasterizer::FontCache {
  public:
    struct Open {
        sdl::FontPtr font;
        CharacterCells cells;
    };

    FontCache() {
        if (!TTF_WasInit() && TTF_Init() != 0) {
            throw std::runtime_error(std::string("cannot start the font renderer: ") +
                                     TTF_GetError());
        }
    }
    Open& get(const Font& font) {
        if (last_ && last_font_ == font) {
            return *last_;
        }
        const auto key = std::tuple(font.family, font_pixels(font.size_pt), font.bold, font.smooth);
        auto it = fonts_.find(key);
        Open& open = it != fonts_.end() ? it->second : opened(font, key);
        last_font_ = font;
        last_ = &open;
        return open;
    }

  private:
    using Key = std::tuple<std::string, int, bool, bool>;

    Open& opened(const Font& font, const Key& key) {
        const bool bold_face = font.bold && has_bold_face(font.family);
        const std::string file = font_file(font.family, bold_face);
        sdl::FontPtr f(TTF_OpenFont(file.c_str(), std::get<1>(key)));
        if (!f) {
            throw std::runtime_error("cannot open the font file " + quoted_path(file) + ": " +
                                     TTF_GetError());
        }
        TTF_SetFontStyle(f.get(), font.bold && !bold_face ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
        if (!font.smooth) {
            // Outlines fitted to whole pixels, or unsmoothed strokes come out uneven.
            TTF_SetFontHinting(f.get(), TTF_HINTING_MONO);
        }
        TTF_Font* face = f.get();
        return fonts_.emplace(key, Open{std::move(f), CharacterCells(face, font)}).first->second;
    }

    std::map<Key, Open> fonts_;
    // The font asked for last: text is mostly measured, drawn and stepped in one font.
    Font last_font_;
    Open* last_ = nullptr;
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
    FontCache::Open& f = fonts().get(font);
    if (f.cells.cover(utf8)) {
        int w = 0;
        for (const char c : utf8) {
            w += f.cells.cell(c)->width;
        }
        return w;
    }
    return measured_width(f.font.get(), std::string(utf8));
}

int SdlTextRasterizer::line_height(const Font& font) {
    return TTF_FontLineSkip(fonts().get(font).font.get());
}

void SdlTextRasterizer::draw_line(TextMask& dst, int x, int y, std::string_view utf8,
                                  const Font& font) {
    FontCache::Open& f = fonts().get(font);
    if (f.cells.cover(utf8)) {
        for (const char c : utf8) {
            const TextMask& cell = *f.cells.cell(c);
            add_coverage(dst, x, y, cell);
            x += cell.width;
        }
        return;
    }
    render(dst, x, y, f.font.get(), std::string(utf8), font.smooth);
}

} // namespace platform
