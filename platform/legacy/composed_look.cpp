#include "platform/legacy/composed_look.h"

#include "platform/legacy/compose.h"
#include "platform/legacy/picture_box.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace platform {

namespace {

bool meet(const PixelRect& a, const PixelRect& b) {
    return !a.empty() && !b.empty() && a.x < b.x + b.width && b.x < a.x + a.width &&
           a.y < b.y + b.height && b.y < a.y + a.height;
}

PixelRect within(const PixelRect& r, const Bitmap& client) {
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = std::min(r.x + r.width, client.width());
    const int y1 = std::min(r.y + r.height, client.height());
    return x0 < x1 && y0 < y1 ? PixelRect{x0, y0, x1 - x0, y1 - y0} : PixelRect{};
}

} // namespace

PixelRect united(const PixelRect& a, const PixelRect& b) {
    if (a.empty()) {
        return b;
    }
    if (b.empty()) {
        return a;
    }
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.width, b.x + b.width);
    const int y1 = std::max(a.y + a.height, b.y + b.height);
    return {x0, y0, x1 - x0, y1 - y0};
}

PixelRect difference(const Bitmap& a, const Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.bits_per_pixel() != 32 ||
        b.bits_per_pixel() != 32) {
        return {0, 0, a.width(), a.height()};
    }
    PixelRect changed;
    for (int y = 0; y < a.height(); ++y) {
        const uint32_t *ra = a.row(y), *rb = b.row(y);
        if (std::memcmp(ra, rb, size_t(a.width()) * 4) == 0) {
            continue;
        }
        int x0 = 0, x1 = a.width();
        while (ra[x0] == rb[x0]) {
            ++x0;
        }
        while (ra[x1 - 1] == rb[x1 - 1]) {
            --x1;
        }
        changed = united(changed, {x0, y, x1 - x0, 1});
    }
    return changed;
}

PixelRect recompose_controls(Bitmap& shown, const Form& form, const ComposedLook& before,
                             const ComposedLook& now) {
    PixelRect redrawn; // the controls that changed, where they were and where they are
    for (size_t i = 0; i < now.controls.size(); ++i) {
        const ComposedLook::Control &was = before.looks[i], &is = now.looks[i];
        if (!(was == is)) {
            redrawn = united(redrawn, was.visible ? was.place : PixelRect{});
            redrawn = united(redrawn, is.visible ? is.place : PixelRect{});
        }
    }
    PixelRect copied;
    for (size_t i = 0; i < now.controls.size(); ++i) {
        const auto* area = dynamic_cast<const PictureBox*>(now.controls[i]);
        if (!area || !now.looks[i].visible) {
            continue;
        }
        // Its rows that differ go straight onto the picture where nothing lies on top of it;
        // under another control it is drawn anew.
        const PixelRect place = now.looks[i].place;
        const bool covered = std::any_of(now.looks.begin(), now.looks.begin() + ptrdiff_t(i),
                                         [&](const ComposedLook::Control& above) {
                                             return above.visible && meet(above.place, place);
                                         });
        if (covered) {
            redrawn = united(redrawn, place);
        } else {
            copied = united(
                copied, copy_changed(shown, area->screen(), place.x, place.y, area->shown_rows()));
        }
    }
    const PixelRect part = within(redrawn, shown);
    if (!part.empty()) {
        Bitmap composed(part.width, part.height);
        form.render_part(composed, part.x, part.y);
        for (int y = 0; y < part.height; ++y) {
            std::memcpy(shown.row(part.y + y) + part.x, composed.row(y), size_t(part.width) * 4);
        }
    }
    return united(part, copied);
}

} // namespace platform
