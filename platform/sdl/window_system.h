#pragma once
// The window system on SDL2: one borderless window per loaded form, cut to the
// form's rounded region on X11, centred on the screen. Events and window timers
// are delivered only from deliver_pending_events() (and the loops of run() and
// show_modal(), which call it), one handler at a time, on the calling thread.
//
// Ending the program: handlers call platform::end_program(status) (events.h),
// which throws ProgramExit out of every nested loop; main() catches it.
// Close requests from the window manager are ignored (the windows have no close
// box); SDL_QUIT, which only a signal or session shutdown can send, ends the
// program with status 0.

#include "platform/form.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace platform {

// No display could be opened.
class DisplayError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

class SdlWindowSystem : public WindowSystem, public FormHost {
  public:
    // Starts SDL's video. Throws DisplayError when no display can be opened; never
    // falls back to an invisible window on its own. With SDL_VIDEODRIVER=dummy or
    // offscreen set, it runs headless with plain windows.
    SdlWindowSystem();
    ~SdlWindowSystem() override;
    SdlWindowSystem(const SdlWindowSystem&) = delete;
    SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

    void load(Form& form) override;
    void show(Form& form) override;
    void show_modal(Form& form) override;
    void hide(Form& form) override;
    void unload(Form& form) override;
    bool is_loaded(const Form& form) const override;
    bool is_visible(const Form& form) const override;
    void set_wait_cursor(bool on) override;
    void run() override;
    void deliver_pending_events() override;

    // FormHost: composes the form and puts it on screen now, delivering no events.
    void repaint(Form& form) override;
    void forget(Form& form) override;

    bool headless() const { return headless_; }
    // Whether a press that drags is handed to the window manager's own move
    // (otherwise the window follows the pointer by hand). Known once a form is shown.
    bool window_manager_moves() const { return window_manager_moves_; }
    // The form that receives keys: the one shown last that is still visible.
    Form* active_form() const { return active_; }
    // The screen position of a loaded form's window.
    std::optional<ScreenPoint> window_position(const Form& form) const;
    // SDL's id of a loaded form's window (0 when not loaded), for events made up in tests.
    uint32_t sdl_window_id(const Form& form) const;
    // The X11 window of a loaded form (0 when headless), for X tools in tests.
    unsigned long native_window(const Form& form) const;
    // Whether a loaded form's window was cut to a shape.
    bool is_shaped(const Form& form) const;

  private:
    struct Window;
    struct Drag;
    struct HitPress;
    struct Callbacks;

    Window* find(const Form& form) const;
    Window* find(uint32_t window_id) const;
    std::unique_ptr<Window> create_window(Form& form);
    void apply_shape(Window& w);
    void update_shape(Window& w);
    void present(Window& w);
    void present_changed();

    void dispatch(const SDL_Event& e);
    void on_window_event(const SDL_Event& e);
    void on_key_down(const SDL_Event& e);
    void on_mouse_down(uint32_t window_id, int x, int y, int button);
    void press(Window& w, int x, int y, int button, bool start_drag);
    void on_mouse_motion(const SDL_Event& e);
    void on_mouse_up(const SDL_Event& e);
    Button* held_button(uint32_t window_id) const;
    void key_to_focus(Form& form, int16_t code);
    bool accepts_input(const Form& form) const;
    bool drags_at(const Form& form, int x, int y) const;

    void start_drag(Window& w);
    void follow_drag();

    void fire_due_timers();
    void activate(Form& form);
    void activate_topmost();
    void forget_shown(const Form& form);
    void wait_for_events();

    bool headless_ = false;
    bool window_manager_moves_ = false;
    std::vector<std::unique_ptr<Window>> windows_;
    std::vector<Form*> shown_order_; // visible forms, the last shown at the back
    std::vector<Form*> modal_;       // forms whose show_modal() is running
    Form* active_ = nullptr;
    std::unique_ptr<Drag> drag_;
    std::unique_ptr<HitPress> hit_press_;
    struct {
        uint32_t window_id = 0;
        Button* button = nullptr;
    } held_; // the button the mouse holds down
    SDL_Cursor* arrow_cursor_ = nullptr;
    SDL_Cursor* wait_cursor_ = nullptr;
};

} // namespace platform
