#include "platform/legacy/controls.h"

#include "platform/legacy/compose.h"
#include "platform/legacy/form.h"
#include "platform/legacy/stretch.h"

#include <algorithm>
#include <climits>

namespace platform {

void Label::set_text(std::string text) {
    text_ = std::move(text);
    fit_to_text();
    if (form) {
        form->invalidate();
    }
}

void Label::set_font(Font f) {
    font_ = std::move(f);
    fit_to_text();
    if (form) {
        form->invalidate();
    }
}

void Label::set_auto_size(bool on) {
    auto_size_ = on;
    fit_to_text();
}

std::vector<std::string> Label::lines(const Font& f) const {
    // Without word wrap only explicit newlines break.
    return wrap_text(text_, f, word_wrap ? width : INT_MAX);
}

void Label::fit_to_text() {
    if (!auto_size_) {
        return;
    }
    const Font f = font_.value_or(form ? form->font : Font{});
    const std::vector<std::string> ls = lines(f);
    if (!word_wrap) {
        width = 0;
        for (const std::string& line : ls) {
            width = std::max(width, text_width(line, f));
        }
    }
    height = line_height(f) * static_cast<int>(ls.size());
}

const TextMask& Label::text_image(const Font& f) const {
    RenderedText wanted{text_, f, width, height, alignment, word_wrap};
    if (rendered_ == wanted) {
        return image_;
    }
    image_ = TextMask(std::max(width, 0), std::max(height, 0));
    const int lh = line_height(f);
    int y = 0;
    for (const std::string& line : lines(f)) {
        const int w = text_width(line, f);
        int x = 0;
        if (alignment == Align::Right) {
            x = width - w;
        } else if (alignment == Align::Center) {
            x = (width - w) / 2;
        }
        draw_text_line(image_, x, y, line, f);
        y += lh;
    }
    rendered_ = std::move(wanted);
    return image_;
}

void Label::render(Bitmap& client, const Font& form_font, int origin_x, int origin_y) const {
    const int x = left - origin_x, y = top - origin_y;
    if (back_color) {
        fill_rect(client, x, y, width, height, to_xrgb(*back_color));
    }
    // The text image is as large as the label, so the text is clipped to it.
    blend_mask(client, x, y, text_image(font_ ? *font_ : form_font), fore_color);
}

std::optional<std::string> Label::look() const {
    return text_ + '\0' + look_of(font_) + '\0' +
           look_of({static_cast<int64_t>(fore_color), back_color ? int64_t{*back_color} : -1,
                    static_cast<int64_t>(alignment), word_wrap});
}

void Button::render(Bitmap& client, const Font& form_font, int origin_x, int origin_y) const {
    const int x = left - origin_x, y = top - origin_y;
    // The classic raised face: light edges top and left, shadows bottom and right,
    // swapped while pushed in.
    constexpr uint32_t kFace = 0x00C0C0C0, kLight = 0x00FFFFFF, kShadow = 0x00808080,
                       kDark = 0x00000000;
    fill_rect(client, x, y, width, height, kFace);
    const uint32_t top_left = pushed ? kDark : kLight;
    fill_rect(client, x, y, width, 1, top_left);
    fill_rect(client, x, y, 1, height, top_left);
    fill_rect(client, x, y + height - 1, width, 1, kDark);
    fill_rect(client, x + width - 1, y, 1, height, kDark);
    if (pushed) {
        fill_rect(client, x + 1, y + 1, width - 2, 1, kShadow);
        fill_rect(client, x + 1, y + 1, 1, height - 2, kShadow);
    } else {
        fill_rect(client, x + 1, y + height - 2, width - 2, 1, kShadow);
        fill_rect(client, x + width - 2, y + 1, 1, height - 2, kShadow);
    }

    const Font& f = font ? *font : form_font;
    if (!rendered_ || rendered_->first != caption || !(rendered_->second == f)) {
        caption_image_ = TextMask(text_width(caption, f), line_height(f));
        draw_text_line(caption_image_, 0, 0, caption, f);
        rendered_.emplace(caption, f);
    }
    const int shift = pushed ? 1 : 0;
    blend_mask(client, x + (width - caption_image_.width) / 2 + shift,
               y + (height - caption_image_.height) / 2 + shift, caption_image_, rgb(0, 0, 0));
    if (form && form->focus == this) {
        // The dotted focus frame inside the edges.
        const int x0 = x + 4, y0 = y + 4, x1 = x + width - 5, y1 = y + height - 5;
        for (int px = x0; px <= x1; px += 2) {
            fill_rect(client, px, y0, 1, 1, kDark);
            fill_rect(client, px, y1, 1, 1, kDark);
        }
        for (int py = y0; py <= y1; py += 2) {
            fill_rect(client, x0, py, 1, 1, kDark);
            fill_rect(client, x1, py, 1, 1, kDark);
        }
    }
}

std::optional<std::string> Button::look() const {
    return caption + '\0' + look_of(font) + '\0' +
           look_of({pushed, form != nullptr && form->focus == this});
}

void Image::set_picture(const std::shared_ptr<const Bitmap>& picture) {
    ++pictures_set_;
    if (picture && width > 0 && height > 0) {
        scaled_ = stretch(*picture, width, height);
    } else {
        scaled_.reset();
    }
    if (form) {
        form->invalidate();
    }
}

void Image::render(Bitmap& client, const Font&, int origin_x, int origin_y) const {
    if (scaled_) {
        blit_clipped(client, *scaled_, left - origin_x, top - origin_y, width, height,
                     std::nullopt);
    }
}

std::optional<std::string> Image::look() const {
    return look_of({static_cast<int64_t>(pictures_set_)});
}

} // namespace platform
