#pragma once
// What the window dispatcher needs from a native window system. The dispatcher
// decides (which form, which control, whether a press drags, when to present);
// a backend carries it out and reports what happened as plain events.

#include "platform/legacy/form.h"
#include "platform/legacy/window_events.h"
#include "platform/legacy/window_scale.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace platform {

class WindowBackend {
  public:
    virtual ~WindowBackend() = default;

    // A hidden window for the form's client area, cut to form.outline(), centred.
    virtual NativeWindow create_window(const Form& form) = 0;
    virtual void destroy_window(NativeWindow window) = 0;
    // Maps the window; the first time, at its centred home.
    virtual void show_window(NativeWindow window) = 0;
    virtual void hide_window(NativeWindow window) = 0;
    // Puts the window on top, with the keyboard focus.
    virtual void raise_window(NativeWindow window) = 0;
    // Cuts the window to `outline` when it changed; true when that changed what the
    // window shows, so that it must be presented even if its pixels did not change.
    virtual bool update_shape(NativeWindow window, const RoundRegion& outline) = 0;
    // Puts a composed client image on screen.
    virtual void present(NativeWindow window, const Bitmap& client) = 0;
    // The same for an image that differs from the one put on screen last only within
    // `changed` (client pixels), so that the backend need not look for the changes.
    virtual void present_changed(NativeWindow window, const Bitmap& client,
                                 const PixelRect& /*changed*/) {
        present(window, client);
    }
    virtual void set_wait_cursor(bool on) = 0;
    // The picture the desktop shows for the windows created from now on, from an image file's
    // bytes. Backends without a desktop to show it ignore it.
    virtual void set_program_icon(std::span<const unsigned char>) {}

    // Whether a left press at a client point drags the window. A backend whose window
    // manager must be told at the moment of the press asks it while collecting events;
    // it calls no handler. The answer is no while the dispatcher is not gathering
    // events (wait_for_events, collect_events) for delivery.
    using DragQuery = std::function<bool(NativeWindow window, int x, int y)>;
    virtual void set_drag_query(DragQuery query) = 0;
    // The window follows the pointer from now until the mouse buttons are up.
    virtual void start_drag(NativeWindow window) = 0;
    // Brings a window that follows the pointer to where the pointer is now.
    virtual void follow_drag() = 0;

    // Returns when an event is waiting, or after at most timeout_ms.
    virtual void wait_for_events(uint32_t timeout_ms) = 0;
    // Gathers what the native system has; next_event() then hands it out one event
    // at a time, with the events that handling them causes in the same pass.
    virtual void collect_events() = 0;
    virtual std::optional<WindowEvent> next_event() = 0;
};

} // namespace platform
