#pragma once
// What every control of a form has: a place, visibility, a mouse handler and a
// way to draw itself onto its window's client image.

#include "platform/system/bitmap.h"
#include "platform/system/text.h"

#include <functional>

namespace platform {

class Form;

class Control {
  public:
    Control(int x, int y, int w, int h) : left(x), top(y), width(w), height(h) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Draws the control onto its window's client image.
    virtual void render(Bitmap& client, const Font& form_font) const = 0;
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
