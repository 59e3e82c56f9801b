#include "platform/legacy/form.h"

#include "platform/legacy/compose.h"

namespace platform {

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
    for (Control* c : controls_) {
        if (c->covers(x, y)) {
            return c;
        }
    }
    return nullptr;
}

bool Form::drags_at(int x, int y) const {
    const Control* c = control_at(x, y);
    return c ? c->drags_window : drags_window;
}

RoundRegion Form::outline() const {
    return region.value_or(RoundRegion{0, 0, client_width, client_height, 0, 0});
}

void Form::render_part(Bitmap& part, int x, int y) const {
    const int right = x + part.width(), bottom = y + part.height();
    // A background that covers the part leaves nothing of the clear to show.
    const bool covered = background && background->bits_per_pixel() == 32 &&
                         part.bits_per_pixel() == 32 && x >= 0 && y >= 0 &&
                         background->width() >= right && background->height() >= bottom;
    if (!covered) {
        part.fill(to_xrgb(back_color));
    }
    if (background) {
        blit_clipped(part, *background, -x, -y, right, bottom, std::nullopt);
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->visible) {
            (*it)->render(part, font, x, y);
        }
    }
}

void Form::repaint() {
    if (host) {
        host->repaint(*this);
    }
}

} // namespace platform
