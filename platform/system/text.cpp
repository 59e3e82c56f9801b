#include "platform/system/text.h"

#include "platform/system/line_breaks.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <utility>

namespace platform {

namespace {

constinit TextRasterizer* installed_rasterizer = nullptr;

TextRasterizer& rasterizer() {
    if (!installed_rasterizer) {
        throw std::logic_error("no text rasterizer is installed: hold a platform::SdlServices "
                               "or call install_text_rasterizer()");
    }
    return *installed_rasterizer;
}

uint32_t blend(uint32_t dst, uint32_t color, uint32_t alpha) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t d = (dst >> shift) & 255, c = (color >> shift) & 255;
        out |= ((c * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

bool is_newline(char c) {
    return c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view without_trailing_spaces(std::string_view s) {
    const size_t end = s.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : s.substr(0, end + 1);
}

size_t utf8_char_length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// A run of text between two break opportunities.
struct Segment {
    std::string_view text;
    bool ends_line; // a newline ends it
};

std::vector<Segment> segments(std::string_view text) {
    const std::vector<BreakMark> marks = line_break_marks(text);
    std::vector<Segment> out;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (marks[i] != BreakMark::Allow && marks[i] != BreakMark::Must) {
            continue;
        }
        std::string_view seg = text.substr(start, i + 1 - start);
        const bool ends_line = marks[i] == BreakMark::Must && is_newline(seg.back());
        while (!seg.empty() && is_newline(seg.back())) {
            seg.remove_suffix(1);
        }
        out.push_back({seg, ends_line});
        start = i + 1;
    }
    return out;
}

// Lays segments out greedily; a segment too wide for a line of its own is cut
// between characters.
class LineFiller {
  public:
    LineFiller(const Font& font, int width) : font_(font), width_(width) {}

    void add(std::string_view seg) {
        if (fits(line_ + std::string(seg))) {
            line_ += seg;
            return;
        }
        if (!line_.empty()) {
            end_line();
            if (fits(std::string(seg))) {
                line_ = seg;
                return;
            }
        }
        add_by_character(seg);
    }

    void end_line() {
        lines_.emplace_back(without_trailing_spaces(line_));
        line_.clear();
    }

    std::vector<std::string> finish() && {
        if (!line_.empty() || lines_.empty()) {
            end_line();
        }
        return std::move(lines_);
    }

  private:
    bool fits(const std::string& s) const {
        return text_width(without_trailing_spaces(s), font_) <= width_;
    }

    void add_by_character(std::string_view seg) {
        for (size_t i = 0; i < seg.size();) {
            const size_t n =
                std::min(utf8_char_length(static_cast<unsigned char>(seg[i])), seg.size() - i);
            const std::string_view ch = seg.substr(i, n);
            if (!line_.empty() && !fits(line_ + std::string(ch))) {
                end_line();
            }
            line_ += ch;
            i += n;
        }
    }

    const Font& font_;
    int width_;
    std::string line_;
    std::vector<std::string> lines_;
};

} // namespace

TextRasterizer* install_text_rasterizer(TextRasterizer* rasterizer) {
    return std::exchange(installed_rasterizer, rasterizer);
}

int font_pixels(double size_pt) {
    return static_cast<int>(std::lround(size_pt * 96.0 / 72.0));
}

int text_width(std::string_view utf8, const Font& font) {
    return utf8.empty() ? 0 : rasterizer().text_width(utf8, font);
}

int line_height(const Font& font) {
    return rasterizer().line_height(font);
}

void draw_text_line(TextMask& dst, int x, int y, std::string_view utf8, const Font& font) {
    if (!utf8.empty()) {
        rasterizer().draw_line(dst, x, y, utf8, font);
    }
}

void blend_mask(Bitmap& dst, int x, int y, const TextMask& mask, ColorRef color) {
    if (dst.bits_per_pixel() != 32) {
        return;
    }
    const uint32_t xrgb = to_xrgb(color);
    const int i0 = std::max(0, -x), i1 = std::min(mask.width, dst.width() - x);
    const int j0 = std::max(0, -y), j1 = std::min(mask.height, dst.height() - y);
    for (int j = j0; j < j1; ++j) {
        const uint8_t* cov = mask.coverage.data() + size_t(j) * size_t(mask.width);
        uint32_t* row = dst.row(y + j) + x;
        for (int i = i0; i < i1; ++i) {
            if (cov[i] == 255) {
                row[i] = xrgb;
            } else if (cov[i] != 0) {
                row[i] = blend(row[i], xrgb, cov[i]);
            }
        }
    }
}

void draw_text_line(Bitmap& dst, int x, int y, std::string_view utf8, const Font& font,
                    ColorRef color) {
    if (utf8.empty()) {
        return;
    }
    TextMask mask(text_width(utf8, font), line_height(font));
    draw_text_line(mask, 0, 0, utf8, font);
    blend_mask(dst, x, y, mask, color);
}

std::vector<std::string> wrap_text(std::string_view utf8, const Font& font, int width) {
    LineFiller filler(font, width);
    for (const Segment& seg : segments(utf8)) {
        filler.add(seg.text);
        if (seg.ends_line) {
            filler.end_line();
        }
    }
    return std::move(filler).finish();
}

} // namespace platform
