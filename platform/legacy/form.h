#pragma once
// Windows and their controls, as plain objects that the game code builds and
// changes; a WindowSystem shows them on screen and delivers their events.
// Nothing here needs a display, so the game runs headless on the same objects.
// Including this header brings in the controls and the picture helpers too.

#include "platform/legacy/controls.h"
#include "platform/legacy/events.h"
#include "platform/legacy/gdi.h"
#include "platform/legacy/region.h"
#include "platform/legacy/stretch.h"
#include "platform/system/text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Where a form is shown; the window system implements it.
class FormHost {
  public:
    virtual ~FormHost() = default;
    virtual void repaint(Form& form) = 0;
    // The form is being destroyed; the host must let go of it.
    virtual void forget(Form&) {}
};

class Form {
  public:
    explicit Form(std::string title, int width = 549, int height = 349)
        : caption(std::move(title)), client_width(width), client_height(height) {}
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Controls in stacking order: the first added lies on top.
    void add(Control& c);
    const std::vector<Control*>& controls() const { return controls_; }
    // The control a press at a client point lands on: the topmost shown one there,
    // else a hidden one there (hidden controls lie beneath every shown one, but
    // their area is theirs, not the background's); null for the background.
    Control* control_at(int x, int y) const;
    // Whether a press at a client point drags the window.
    bool drags_at(int x, int y) const;
    // The visible outline of the window: its region, or the whole client area.
    RoundRegion outline() const;

    // Composes the client area: background picture, then controls bottom to top.
    void render(Bitmap& client) const { render_part(client, 0, 0); }
    // The same for the part of the client area as large as `part` whose top-left
    // corner is the client point (x, y).
    void render_part(Bitmap& part, int x, int y) const;
    // Repaints the whole window at once.
    void repaint();
    // Marks the window as changed: the window system shows it at its next event pass.
    void invalidate() { invalidated_ = true; }
    // Whether the window changed since last asked; asking clears the mark.
    bool take_invalidated() { return std::exchange(invalidated_, false); }

    std::string caption;
    int client_width, client_height;
    std::shared_ptr<Bitmap> background;
    ColorRef back_color = rgb(0, 0, 0);
    Font font; // the window's default font
    std::optional<RoundRegion> region;
    bool key_preview = false;
    bool drags_window = false; // a press on the background drags the window
    // The control with the keyboard focus: Enter and space click it when it is a Button.
    Control* focus = nullptr;

    std::function<void()> on_load;
    std::function<void()> on_activate;
    // Key code by reference: a handler may set it to 0 to stop the key.
    std::function<void(int16_t& key_code, int shift)> on_key_down;
    std::function<void(int button)> on_mouse_down;

    // A window timer, ticking only while events are delivered.
    int timer_interval_ms = 0;
    std::function<void()> on_timer;

    FormHost* host = nullptr;

  private:
    std::vector<Control*> controls_;
    bool invalidated_ = false;
};

// The window system: shows forms and delivers their events.
class WindowSystem : public EventPump {
  public:
    virtual void load(Form& form) = 0;       // runs on_load once
    virtual void show(Form& form) = 0;       // loads if needed, shows, activates
    virtual void show_modal(Form& form) = 0; // show, then delivers events until hidden
    virtual void hide(Form& form) = 0;
    virtual void unload(Form& form) = 0;
    virtual bool is_loaded(const Form& form) const = 0;
    virtual bool is_visible(const Form& form) const = 0;
    virtual void set_wait_cursor(bool on) = 0;
    // The picture the desktop shows for the windows loaded from now on: an image file's bytes
    // (PNG), read at once.
    virtual void set_program_icon(std::span<const unsigned char> image) = 0;
    // Delivers events until every form is unloaded or the program is ended.
    virtual void run() = 0;
};

} // namespace platform
