#pragma once
// What every control of a form has: a place, visibility, a mouse handler and a
// way to draw itself onto its window's client image.

#include "platform/system/bitmap.h"
#include "platform/system/text.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

namespace platform {

class Form;

// Parts of a control's look, joined so that different settings make different looks.
std::string look_of(std::initializer_list<int64_t> values);
std::string look_of(const std::optional<Font>& font);

class Control {
  public:
    Control(int x, int y, int w, int h) : left(x), top(y), width(w), height(h) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Draws the control onto its window's client image, or onto a part of it whose
    // top-left corner is the client point (origin_x, origin_y).
    virtual void render(Bitmap& client, const Font& form_font, int origin_x = 0,
                        int origin_y = 0) const = 0;
    // Everything besides place and visibility that the control's picture is drawn from,
    // so that a window need not draw it again while it stays the same; nothing when
    // that cannot be told (it is then drawn every time).
    virtual std::optional<std::string> look() const { return std::nullopt; }
    // Whether the client point lies on the control's area, shown or hidden.
    virtual bool covers(int x, int y) const;
    // Whether the control is shown at the client point.
    bool hit(int x, int y) const { return visible && covers(x, y); }
    // Repaints the control on screen at once, without delivering events.
    void refresh();

    int left, top, width, height;
    bool visible = true;
    // A press here drags the window (the window's background and title labels).
    bool drags_window = false;
    std::function<void(int button)> on_mouse_down;
    Form* form = nullptr;

  protected:
    friend class Form;
    // Called when the control is added to a form.
    virtual void attached() {}
};

} // namespace platform
