#pragma once
// Text rasterised with SDL_ttf from the font files font_file() names.

#include "platform/system/text.h"

#include <memory>

namespace platform {

class SdlTextRasterizer : public TextRasterizer {
  public:
    SdlTextRasterizer();
    ~SdlTextRasterizer() override;
    SdlTextRasterizer(const SdlTextRasterizer&) = delete;
    SdlTextRasterizer& operator=(const SdlTextRasterizer&) = delete;

    int text_width(std::string_view utf8, const Font& font) override;
    int line_height(const Font& font) override;
    void draw_line(TextMask& dst, int x, int y, std::string_view utf8, const Font& font) override;

  private:
    class FontCache;
    FontCache& fonts();

    // Opened at the first question, so that a program that shows no text never starts SDL_ttf.
    std::unique_ptr<FontCache> fonts_;
};

} // namespace platform
