#pragma once
// The window system on SDL2: the window dispatcher (window_dispatcher.h) on
// SDL's windows and events (window_backend.h in this folder), with the real clock.
// Close requests from the window manager are ignored (the windows have no close
// box); SDL_QUIT, which only a signal or session shutdown can send, ends the
// program with status 0.

#include "platform/clock.h"
#include "platform/form.h"
#include "platform/sdl/window_backend.h"
#include "platform/window_dispatcher.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

class SdlWindowSystem : public WindowSystem {
  public:
    // Starts SDL's video. Throws DisplayError when no display can be opened; never
    // falls back to an invisible window on its own. With SDL_VIDEODRIVER=dummy or
    // offscreen set, it runs headless with plain windows.
    SdlWindowSystem();

    void load(Form& form) override { dispatcher_.load(form); }
    void show(Form& form) override { dispatcher_.show(form); }
    void show_modal(Form& form) override { dispatcher_.show_modal(form); }
    void hide(Form& form) override { dispatcher_.hide(form); }
    void unload(Form& form) override { dispatcher_.unload(form); }
    bool is_loaded(const Form& form) const override { return dispatcher_.is_loaded(form); }
    bool is_visible(const Form& form) const override { return dispatcher_.is_visible(form); }
    void set_wait_cursor(bool on) override { dispatcher_.set_wait_cursor(on); }
    void run() override { dispatcher_.run(); }
    void deliver_pending_events() override { dispatcher_.deliver_pending_events(); }

    bool headless() const { return backend_->headless(); }
    // Whether a press that drags is handed to the window manager's own move
    // (otherwise the window follows the pointer by hand). Known once a form is shown.
    bool window_manager_moves() const { return backend_->window_manager_moves(); }
    // The form that receives keys: the one shown last that is still visible.
    Form* active_form() const { return dispatcher_.active_form(); }
    // The screen position of a loaded form's window.
    std::optional<ScreenPoint> window_position(const Form& form) const;
    // SDL's id of a loaded form's window (0 when not loaded), for events made up in tests.
    uint32_t sdl_window_id(const Form& form) const { return dispatcher_.window_of(form); }
    // The X11 window of a loaded form (0 when headless), for X tools in tests.
    unsigned long native_window(const Form& form) const;
    // Whether a loaded form's window was cut to a shape.
    bool is_shaped(const Form& form) const;

  private:
    SystemClock clock_;
    std::unique_ptr<SdlWindowBackend> backend_; // both outlive the dispatcher
    WindowDispatcher dispatcher_;
};

} // namespace platform
