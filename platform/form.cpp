#include "platform/form.h"

#include "platform/image.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace platform {

namespace {

// Copies a bitmap onto the client image at (x, y), at most w x h of it, keeping
// only the points inside the region (in the source's coordinates) when there is one.
void blit_clipped(Bitmap& client, const Bitmap& src, int x, int y, int w, int h,
                  const std::optional<RoundRegion>& region) {
    const int rows = std::min(h, src.height()), cols = std::min(w, src.width());
    for (int sy = std::max(0, -y); sy < rows && y + sy < client.height(); ++sy) {
        int x0 = 0, x1 = cols;
        if (region) {
            int in0 = 0, in1 = 0;
            if (!region->row_span(sy, in0, in1)) {
                continue;
            }
            x0 = std::max(x0, in0);
            x1 = std::min(x1, in1);
        }
        x0 = std::max(x0, -x);
        x1 = std::min(x1, client.width() - x);
        if (x0 < x1) {
            std::memcpy(client.row(y + sy) + x + x0, src.row(sy) + x0, size_t(x1 - x0) * 4);
        }
    }
}

void fill_rect(Bitmap& client, int x, int y, int w, int h, uint32_t xrgb) {
    const int x0 = std::max(x, 0), x1 = std::min(x + w, client.width());
    for (int py = std::max(y, 0); py < std::min(y + h, client.height()); ++py) {
        std::fill(client.row(py) + x0, client.row(py) + std::max(x0, x1), xrgb);
    }
}

// The source pixels one destination pixel of a resampled axis is made of.
struct Taps {
    int first = 0;
    std::vector<float> weights; // for first, first + 1, ...; they sum to 1
};

std::vector<Taps> axis_taps(int from, int to) {
    std::vector<Taps> taps(static_cast<size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        Taps& t = taps[static_cast<size_t>(i)];
        if (scale >= 1.0) {
            // Shrinking: the average over the source span the pixel covers, each
            // source pixel weighted by how much of it lies inside.
            const double a = i * scale, b = a + scale;
            t.first = static_cast<int>(a);
            for (int s = t.first; s < from && s < b; ++s) {
                const double cover = std::min(b, s + 1.0) - std::max(a, static_cast<double>(s));
                t.weights.push_back(static_cast<float>(cover / scale));
            }
        } else {
            // Enlarging: linear between the two nearest source pixel centres.
            const double c = std::clamp((i + 0.5) * scale - 0.5, 0.0, from - 1.0);
            t.first = static_cast<int>(c);
            const auto f = static_cast<float>(c - t.first);
            t.weights = t.first + 1 < from ? std::vector<float>{1 - f, f} : std::vector<float>{1};
        }
    }
    return taps;
}

using Rgb = std::array<float, 3>;

Rgb channels(uint32_t xrgb) {
    return {static_cast<float>(xrgb >> 16 & 255), static_cast<float>(xrgb >> 8 & 255),
            static_cast<float>(xrgb & 255)};
}

uint32_t to_pixel(const Rgb& c) {
    uint32_t out = 0;
    for (float v : c) {
        out = out << 8 | static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L));
    }
    return out;
}

} // namespace

bool RoundRegion::contains(int x, int y) const {
    if (x < left || y < top || x >= right || y >= bottom) {
        return false;
    }
    // Distance from the nearest corner ellipse's centre, in the ellipse's own scale.
    const double rx = ellipse_width / 2.0, ry = ellipse_height / 2.0;
    const double cx =
        x + 0.5 < left + rx ? left + rx : (x + 0.5 > right - rx ? right - rx : x + 0.5);
    const double cy =
        y + 0.5 < top + ry ? top + ry : (y + 0.5 > bottom - ry ? bottom - ry : y + 0.5);
    if (rx <= 0 || ry <= 0) {
        return true;
    }
    const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
    return nx * nx + ny * ny <= 1.0;
}

bool RoundRegion::row_span(int y, int& x0, int& x1) const {
    if (y < top || y >= bottom || left >= right) {
        return false;
    }
    // Each row of a rounded rectangle is one run; only the corners shorten it.
    int a = left, b = right;
    while (a < b && !contains(a, y)) {
        ++a;
    }
    while (b > a && !contains(b - 1, y)) {
        --b;
    }
    x0 = a;
    x1 = b;
    return a < b;
}

bool Control::hit(int x, int y) const {
    return visible && x >= left && y >= top && x < left + width && y < top + height;
}

void Control::refresh() {
    if (form) {
        form->repaint();
    }
}

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

void Label::render(Bitmap& client, const Font& form_font) const {
    if (back_color) {
        fill_rect(client, left, top, width, height, to_xrgb(*back_color));
    }
    // The text image is as large as the label, so the text is clipped to it.
    blend_mask(client, left, top, text_image(font_ ? *font_ : form_font), fore_color);
}

void Button::render(Bitmap& client, const Font& form_font) const {
    // The classic raised face: light edges top and left, shadows bottom and right,
    // swapped while pushed in.
    constexpr uint32_t kFace = 0x00C0C0C0, kLight = 0x00FFFFFF, kShadow = 0x00808080,
                       kDark = 0x00000000;
    fill_rect(client, left, top, width, height, kFace);
    const uint32_t top_left = pushed ? kDark : kLight;
    fill_rect(client, left, top, width, 1, top_left);
    fill_rect(client, left, top, 1, height, top_left);
    fill_rect(client, left, top + height - 1, width, 1, kDark);
    fill_rect(client, left + width - 1, top, 1, height, kDark);
    if (pushed) {
        fill_rect(client, left + 1, top + 1, width - 2, 1, kShadow);
        fill_rect(client, left + 1, top + 1, 1, height - 2, kShadow);
    } else {
        fill_rect(client, left + 1, top + height - 2, width - 2, 1, kShadow);
        fill_rect(client, left + width - 2, top + 1, 1, height - 2, kShadow);
    }

    const Font& f = font ? *font : form_font;
    if (!rendered_ || rendered_->first != caption || !(rendered_->second == f)) {
        caption_image_ = TextMask(text_width(caption, f), line_height(f));
        draw_text_line(caption_image_, 0, 0, caption, f);
        rendered_.emplace(caption, f);
    }
    const int shift = pushed ? 1 : 0;
    blend_mask(client, left + (width - caption_image_.width) / 2 + shift,
               top + (height - caption_image_.height) / 2 + shift, caption_image_, rgb(0, 0, 0));
    if (form && form->focus == this) {
        // The dotted focus frame inside the edges.
        const int x0 = left + 4, y0 = top + 4, x1 = left + width - 5, y1 = top + height - 5;
        for (int x = x0; x <= x1; x += 2) {
            fill_rect(client, x, y0, 1, 1, kDark);
            fill_rect(client, x, y1, 1, 1, kDark);
        }
        for (int y = y0; y <= y1; y += 2) {
            fill_rect(client, x0, y, 1, 1, kDark);
            fill_rect(client, x1, y, 1, 1, kDark);
        }
    }
}

PictureBox::PictureBox(int left, int top, int width, int height)
    : Control(left, top, width, height) {
    screen_dc_.select(std::make_shared<Bitmap>(width, height));
    image_dc_.select(std::make_shared<Bitmap>(width, height));
}

void PictureBox::render(Bitmap& client, const Font&) const {
    blit_clipped(client, screen(), left, top, width, height, region);
}

bool PictureBox::hit(int x, int y) const {
    return Control::hit(x, y) && (!region || region->contains(x - left, y - top));
}

void PictureBox::set_auto_redraw(bool on) {
    if (on && !auto_redraw_) {
        // The kept image starts as what the area shows.
        auto image = std::make_shared<Bitmap>(screen());
        image_dc_.select(image);
    }
    auto_redraw_ = on;
}

void PictureBox::load_picture(const std::string& path) {
    set_picture(load_image_file(path));
}

void PictureBox::set_picture(std::shared_ptr<Bitmap> picture) {
    image_dc_.select(picture);
    bit_blt(screen_dc_, 0, 0, width, height, image_dc_, 0, 0, Rop::SrcCopy);
}

void PictureBox::remove_picture() {
    image_dc_.select(std::make_shared<Bitmap>(width, height));
    screen_dc_.bitmap().fill(to_xrgb(back_color));
}

void PictureBox::print(std::string_view utf8) {
    const Font f = font.value_or(form ? form->font : Font{});
    draw_text_line(hdc().bitmap(), current_x, current_y, utf8, f, fore_color);
    current_x = 0;
    current_y += line_height(f);
}

void PictureBox::cls() {
    screen_dc_.bitmap().fill(to_xrgb(back_color));
    if (auto_redraw_) {
        image_dc_.bitmap().fill(to_xrgb(back_color));
    }
    current_x = 0;
    current_y = 0;
}

void PictureBox::repaint() {
    if (auto_redraw_) {
        bit_blt(screen_dc_, 0, 0, width, height, image_dc_, 0, 0, Rop::SrcCopy);
    }
    refresh();
}

Bitmap stretch(const Bitmap& source, int width, int height) {
    if (source.bits_per_pixel() != 32 || source.width() < 1 || source.height() < 1 || width < 1 ||
        height < 1) {
        throw std::invalid_argument("stretch: needs a 32-bit picture and a size of at least 1 x 1");
    }
    // Rows first, then columns: each pass looks at one axis only.
    const std::vector<Taps> across = axis_taps(source.width(), width);
    const std::vector<Taps> down = axis_taps(source.height(), height);
    std::vector<Rgb> rows(static_cast<size_t>(source.height()) * static_cast<size_t>(width));
    for (int y = 0; y < source.height(); ++y) {
        const uint32_t* in = source.row(y);
        Rgb* out = &rows[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int x = 0; x < width; ++x) {
            const Taps& t = across[static_cast<size_t>(x)];
            Rgb sum{};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const Rgb c = channels(in[static_cast<size_t>(t.first) + k]);
                for (size_t ch = 0; ch < 3; ++ch) {
                    sum[ch] += c[ch] * t.weights[k];
                }
            }
            out[x] = sum;
        }
    }
    Bitmap result(width, height);
    for (int y = 0; y < height; ++y) {
        const Taps& t = down[static_cast<size_t>(y)];
        uint32_t* out = result.row(y);
        for (int x = 0; x < width; ++x) {
            Rgb sum{};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const Rgb& c =
                    rows[(static_cast<size_t>(t.first) + k) * static_cast<size_t>(width) +
                         static_cast<size_t>(x)];
                for (size_t ch = 0; ch < 3; ++ch) {
                    sum[ch] += c[ch] * t.weights[k];
                }
            }
            out[x] = to_pixel(sum);
        }
    }
    return result;
}

void Image::set_picture(const std::shared_ptr<const Bitmap>& picture) {
    if (picture && width > 0 && height > 0) {
        scaled_ = stretch(*picture, width, height);
    } else {
        scaled_.reset();
    }
    if (form) {
        form->invalidate();
    }
}

void Image::render(Bitmap& client, const Font&) const {
    if (scaled_) {
        blit_clipped(client, *scaled_, left, top, width, height, std::nullopt);
    }
}

Form::~Form() {
    if (host) {
        host->forget(*this);
    }
}

void Form::add(Control& c) {
    c.form = this;
    controls_.push_back(&c);
    c.attached();
}

Control* Form::control_at(int x, int y) const {
    for (Control* c : controls_) {
        if (c->hit(x, y)) {
            return c;
        }
    }
    return nullptr;
}

void Form::render(Bitmap& client) const {
    client.fill(to_xrgb(back_color));
    if (background) {
        blit_clipped(client, *background, 0, 0, client.width(), client.height(), std::nullopt);
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->visible) {
            (*it)->render(client, font);
        }
    }
}

void Form::repaint() {
    if (host) {
        host->repaint(*this);
    }
}

} // namespace platform
