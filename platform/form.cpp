#include "platform/form.h"

#include "platform/image.h"

#include <algorithm>

namespace platform {

namespace {

// Copies a bitmap onto the client image at (x, y), keeping only points inside the region.
void blit_clipped(Bitmap& client, const Bitmap& src, int x, int y, int w, int h,
                  const std::optional<RoundRegion>& region) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min({x + w, client.width(), x + src.width()});
    const int y1 = std::min({y + h, client.height(), y + src.height()});
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            if (!region || region->contains(px - x, py - y)) {
                client.set_pixel(px, py, src.pixel(px - x, py - y));
            }
        }
    }
}

} // namespace

bool RoundRegion::contains(int x, int y) const {
    if (x < left || y < top || x >= right || y >= bottom) {
        return false;
    }
    // Distance from the nearest corner ellipse's centre, in the ellipse's own scale.
    const double rx = ellipse_width / 2.0, ry = ellipse_height / 2.0;
    const double cx = x + 0.5 < left + rx ? left + rx : (x + 0.5 > right - rx ? right - rx : x + 0.5);
    const double cy = y + 0.5 < top + ry ? top + ry : (y + 0.5 > bottom - ry ? bottom - ry : y + 0.5);
    if (rx <= 0 || ry <= 0) {
        return true;
    }
    const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
    return nx * nx + ny * ny <= 1.0;
}

void Control::refresh() {
    if (form) {
        form->repaint();
    }
}

void Label::set_text(std::string text) {
    text_ = std::move(text);
    fit_to_text();
}

void Label::set_font(Font f) {
    font_ = std::move(f);
    fit_to_text();
}

void Label::set_auto_size(bool on) {
    auto_size_ = on;
    fit_to_text();
}

void Label::fit_to_text() {
    if (!auto_size_) {
        return;
    }
    const Font f = font_.value_or(form ? form->font : Font{});
    width = text_width(text_, f);
    height = line_height(f);
}

void Label::render(Bitmap& client, const Font& form_font) const {
    const Font& f = font_ ? *font_ : form_font;
    if (back_color) {
        for (int y = std::max(top, 0); y < std::min(top + height, client.height()); ++y) {
            for (int x = std::max(left, 0); x < std::min(left + width, client.width()); ++x) {
                client.set_pixel(x, y, to_xrgb(*back_color));
            }
        }
    }
    const std::vector<std::string> lines =
        word_wrap ? wrap_text(text_, f, width) : std::vector<std::string>{text_};
    const int lh = line_height(f);
    // Text is clipped to the label's rectangle.
    Bitmap area(std::max(width, 0), std::max(height, 0));
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            if (client.contains(left + x, top + y)) {
                area.set_pixel(x, y, client.pixel(left + x, top + y));
            }
        }
    }
    int y = 0;
    for (const std::string& line : lines) {
        const int w = text_width(line, f);
        int x = 0;
        if (alignment == Align::Right) {
            x = width - w;
        } else if (alignment == Align::Center) {
            x = (width - w) / 2;
        }
        draw_text_line(area, x, y, line, f, fore_color);
        y += lh;
    }
    blit_clipped(client, area, left, top, width, height, std::nullopt);
}

PictureBox::PictureBox(int left, int top, int width, int height)
    : Control(left, top, width, height) {
    screen_dc_.select(std::make_shared<Bitmap>(width, height));
    image_dc_.select(std::make_shared<Bitmap>(width, height));
}

void PictureBox::render(Bitmap& client, const Font&) const {
    blit_clipped(client, screen(), left, top, width, height, region);
}

void PictureBox::set_auto_redraw(bool on) {
    if (on && !auto_redraw_) {
        // The kept image starts as what the area shows.
        auto image = std::make_shared<Bitmap>(screen());
        image_dc_.select(image);
    }
    auto_redraw_ = on;
}

void PictureBox::load_picture(const std::string& path) { set_picture(load_image_file(path)); }

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

void Form::add(Control& c) {
    c.form = this;
    controls_.push_back(&c);
}

Control* Form::control_at(int x, int y) const {
    for (Control* c : controls_) {
        if (c->visible && x >= c->left && y >= c->top && x < c->left + c->width &&
            y < c->top + c->height) {
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
