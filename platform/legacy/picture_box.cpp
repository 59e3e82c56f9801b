#include "platform/legacy/picture_box.h"

#include "platform/legacy/compose.h"
#include "platform/legacy/form.h"

#include <memory>

namespace platform {

PictureBox::PictureBox(int x, int y, int w, int h) : Control(x, y, w, h) {
    screen_dc_.select(std::make_shared<Bitmap>(w, h));
    image_dc_.select(std::make_shared<Bitmap>(w, h));
}

void PictureBox::render(Bitmap& client, const Font&, int origin_x, int origin_y) const {
    blit_clipped(client, screen(), left - origin_x, top - origin_y, width, height, region);
}

std::optional<std::string> PictureBox::look() const {
    if (!region) {
        return "";
    }
    const RoundRegion& r = *region;
    return look_of({r.left, r.top, r.right, r.bottom, r.ellipse_width, r.ellipse_height});
}

const std::vector<RowRun>& PictureBox::shown_rows() const {
    const std::pair wanted{region, PixelSize{width, height}};
    if (rows_for_ != wanted) {
        rows_ = region ? outline_rows(*region, wanted.second) : full_rows(wanted.second);
        rows_for_ = wanted;
    }
    return rows_;
}

bool PictureBox::covers(int x, int y) const {
    return Control::covers(x, y) && (!region || region->contains(x - left, y - top));
}

void PictureBox::set_auto_redraw(bool on) {
    if (on && !auto_redraw_) {
        // The kept image starts as what the area shows.
        auto image = std::make_shared<Bitmap>(screen());
        image_dc_.select(image);
    }
    auto_redraw_ = on;
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
    static const Font kSystemFont;
    const Font& f = font ? *font : form ? form->font : kSystemFont;
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

} // namespace platform
