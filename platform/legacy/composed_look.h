#pragma once
// What a window's picture was composed from, and composing again only what changed in it:
// the window dispatcher keeps the one and calls the other for each frame it presents.

#include "platform/legacy/form.h"
#include "platform/legacy/window_scale.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What a window's picture was composed from, but for the picture areas' pixels.
struct ComposedLook {
    struct Control {
        PixelRect place;
        bool visible = false;
        std::optional<std::string> look;
        bool operator==(const Control&) const = default;
    };

    explicit ComposedLook(const Form& form)
        : background(form.background), back_color(form.back_color), font(form.font) {
        for (const platform::Control* c : form.controls()) {
            controls.push_back(c);
            looks.push_back({{c->left, c->top, c->width, c->height}, c->visible, c->look()});
        }
    }
    bool known() const {
        return std::all_of(looks.begin(), looks.end(),
                           [](const Control& c) { return c.look.has_value(); });
    }
    bool same_frame(const ComposedLook& other) const {
        return background == other.background && back_color == other.back_color &&
               font == other.font && controls == other.controls;
    }

    std::shared_ptr<Bitmap> background; // kept: a new picture never takes the old one's place
    ColorRef back_color;
    Font font;
    std::vector<const platform::Control*> controls;
    std::vector<Control> looks;
};

// The union of two rectangles; an empty one adds nothing.
PixelRect united(const PixelRect& a, const PixelRect& b);

// The rows and columns in which two images of one size differ (all of it when their sizes
// or depths differ).
PixelRect difference(const Bitmap& a, const Bitmap& b);

// Brings `shown`, composed from `before`, up to the form as it is now (`now`, of the same
// frame: background, back colour, font and controls): its picture areas' changed rows
// copied, the controls that changed composed anew. Returns the part of `shown` that changed.
PixelRect recompose_controls(Bitmap& shown, const Form& form, const ComposedLook& before,
                             const ComposedLook& now);

} // namespace platform
