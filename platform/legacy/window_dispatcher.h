#pragma once
// The window system's logic, apart from any native window system: forms and
// their windows, the shown order and the active form, modal loops, key and mouse
// routing, focus, the held button, drag decisions, window timers and presenting.
// Events and timers are delivered only from deliver_pending_events() (and the
// loops of run() and show_modal(), which call it), one handler at a time, on the
// calling thread. A WindowBackend does the native part.
//
// Ending the program: handlers call platform::end_program(status) (events.h),
// which throws ProgramExit out of every nested loop; main() catches it. A quit
// request from the session ends the program with status 0.

#include "platform/legacy/form.h"
#include "platform/legacy/form_timers.h"
#include "platform/legacy/window_backend.h"
#include "platform/legacy/window_events.h"
#include "platform/system/clock.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace platform {

struct ComposedLook; // what a window's picture was composed from (composed_look.h)

class WindowDispatcher : public WindowSystem, public FormHost {
  public:
    // The backend and the clock must outlive the dispatcher.
    WindowDispatcher(WindowBackend& backend, Clock& clock);
    ~WindowDispatcher() override;
    WindowDispatcher(const WindowDispatcher&) = delete;
    WindowDispatcher& operator=(const WindowDispatcher&) = delete;

    void load(Form& form) override;
    void show(Form& form) override;
    void show_modal(Form& form) override;
    void hide(Form& form) override;
    void unload(Form& form) override;
    bool is_loaded(const Form& form) const override;
    bool is_visible(const Form& form) const override;
    void set_wait_cursor(bool on) override;
    void set_program_icon(std::span<const unsigned char> image) override;
    void run() override;
    void deliver_pending_events() override;

    // FormHost: composes the form and presents it now, delivering no events.
    void repaint(Form& form) override;
    void forget(Form& form) override;

    // The form that receives keys: the one shown last that is still visible.
    Form* active_form() const { return active_; }
    // The backend's window of a loaded form; 0 when it is not loaded.
    NativeWindow window_of(const Form& form) const;
    // The client image a loaded form's window shows now (black until it is first
    // presented); null when the form is not loaded.
    const Bitmap* shown_image(const Form& form) const;

  private:
    struct Window;
    class Gathering;

    Window* find(const Form& form) const;
    Window* find(NativeWindow native) const;
    void present(Window& w);
    // Both return the part of the client that changed.
    PixelRect compose_whole(Window& w);
    PixelRect recompose_changes(Window& w, const ComposedLook& before, const ComposedLook& now);
    void present_changed();
    void update_shape(Window& w);

    void dispatch(const WindowEvent& e);
    void handle(const KeyDown& e);
    void handle(const MouseDown& e);
    void handle(const MouseUp& e);
    void handle(const MouseMove& e);
    void handle(const WindowExposed& e);
    void handle(const QuitRequested& e);
    void press(Window& w, int x, int y, int button, bool start_drag);
    Button* held_button(NativeWindow native) const;
    void key_to_focus(Form& form, int16_t code);
    bool accepts_input(const Form& form) const;
    bool press_drags(NativeWindow native, int x, int y) const;

    void activate(Form& form);
    void activate_topmost();
    void forget_shown(const Form& form);
    void wait_for_events();

    WindowBackend& backend_;
    Clock& clock_;
    FormTimers timers_;
    std::vector<std::unique_ptr<Window>> windows_;
    std::vector<Form*> shown_order_; // visible forms, the last shown at the back
    std::vector<Form*> modal_;       // forms whose show_modal() is running
    Form* active_ = nullptr;
    bool gathering_ = false; // the backend is gathering events for delivery
    struct {
        NativeWindow window = 0;
        Button* button = nullptr;
    } held_; // the button the mouse holds down
};

} // namespace platform
