#pragma once
// The window system without a display: the window dispatcher on a backend whose
// windows exist only in memory. Tests inject plain input events and read what
// each window shows; headless runs get windows that nobody sees.

#include "platform/legacy/form.h"
#include "platform/legacy/window_dispatcher.h"
#include "platform/legacy/window_events.h"
#include "platform/system/clock.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

namespace platform {

// Windows in memory. Posted events wait in a queue until events are delivered;
// a wait with nothing queued passes the time it was given.
class NullWindowBackend : public WindowBackend {
  public:
    using Idle = std::function<void(uint32_t ms)>;
    explicit NullWindowBackend(Idle idle) : idle_(std::move(idle)) {}

    NativeWindow create_window(const Form& form) override;
    void destroy_window(NativeWindow window) override;
    void show_window(NativeWindow) override {}
    void hide_window(NativeWindow window) override;
    void raise_window(NativeWindow) override {}
    bool update_shape(NativeWindow, const RoundRegion&) override { return false; }
    void present(NativeWindow, const Bitmap&) override {}
    void set_wait_cursor(bool) override {}
    void set_drag_query(DragQuery) override {}
    void start_drag(NativeWindow window) override;
    void follow_drag() override;
    void wait_for_events(uint32_t timeout_ms) override;
    void collect_events() override {}
    std::optional<WindowEvent> next_event() override;

    void post(const WindowEvent& e) { queue_.push_back(e); }
    // The window that follows the pointer, until every button held is released.
    NativeWindow dragged() const { return dragged_; }

  private:
    Idle idle_;
    NativeWindow last_ = 0;
    std::deque<WindowEvent> queue_;
    int buttons_held_ = 0; // the mouse buttons' codes, or-ed
    NativeWindow dragged_ = 0;
};

// Holds the backend in a base of its own, so that it is built before the
// dispatcher that uses it and outlives it.
struct NullBackendHolder {
    NullWindowBackend null_backend_;
};

class HeadlessWindowSystem : private NullBackendHolder, public WindowDispatcher {
  public:
    // Waiting for events sleeps for real, as long as the dispatcher asks.
    explicit HeadlessWindowSystem(Clock& clock);
    // Waiting for events is `idle` instead, given as long as the dispatcher asks.
    HeadlessWindowSystem(Clock& clock, NullWindowBackend::Idle idle);

    // What a loaded form's window shows now; null when the form is not loaded.
    const Bitmap* client_image(const Form& form) const { return shown_image(form); }
    // Whether a loaded form's window is following the pointer.
    bool is_dragged(const Form& form) const;

    // Input, delivered with the next events, as a user's would be. A press or
    // release on a form that is not loaded goes nowhere.
    void key_down(int16_t key_code, int shift = 0);
    void mouse_down(const Form& form, int x, int y, int button = kLeftButton);
    void mouse_up(const Form& form, int x, int y, int button = kLeftButton);
    void mouse_move(const Form& form, int x, int y);
};

} // namespace platform
