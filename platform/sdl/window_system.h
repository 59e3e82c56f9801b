#pragma once
// The window system on SDL2: the window dispatcher (window_dispatcher.h) on
// SDL's windows and events (window_backend.h in this folder, event_pump.h for the
// queue), with the real clock. A close request from the window manager, or SDL_QUIT,
// which only a signal or session shutdown can send, ends the program with status 0.

#include "platform/legacy/form.h"
#include "platform/sdl/event_pump.h"
#include "platform/system/clock.h"
#ifdef __EMSCRIPTEN__
#include "platform/sdl/browser/canvas_backend.h"
#else
#include "platform/sdl/window_backend.h"
#endif
#include "platform/legacy/window_dispatcher.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

#ifdef __EMSCRIPTEN__
using SdlBackend = CanvasWindowBackend;
#else
using SdlBackend = SdlWindowBackend;
#endif

// The real clock, SDL's event queue and SDL's windows, in a base of their own, so that
// they are built before the dispatcher that uses them and outlive it. The pump, the one
// owner of SDL's event queue, comes first: it outlives the windows that take their events
// through it.
struct SdlBackendHolder {
    SystemClock sdl_clock_;
    SdlEventPump sdl_events_;
    std::unique_ptr<SdlBackend> sdl_backend_ = std::make_unique<SdlBackend>(sdl_events_);
};

class SdlWindowSystem : private SdlBackendHolder, public WindowDispatcher {
  public:
    // Starts SDL's video. Throws DisplayError when no display can be opened; never
    // falls back to an invisible window on its own. With SDL_VIDEODRIVER=dummy or
    // offscreen set, it runs headless with plain windows.
    SdlWindowSystem();

    // The one owner of SDL's event queue, whose events the windows take; the key state
    // (SdlKeyState) pumps through it too, and must not outlive the window system.
    SdlEventPump& event_pump() { return sdl_events_; }

    bool headless() const { return sdl_backend_->headless(); }
    // Whether a press that drags is handed to the window manager's own move
    // (otherwise the window follows the pointer by hand). Known once a form is shown.
    bool window_manager_moves() const { return sdl_backend_->window_manager_moves(); }
    // The screen position of a loaded form's window.
    std::optional<ScreenPoint> window_position(const Form& form) const;
    // SDL's id of a loaded form's window (0 when not loaded), for events made up in tests.
    uint32_t sdl_window_id(const Form& form) const { return window_of(form); }
    // The X11 window of a loaded form (0 when headless), for X tools in tests.
    unsigned long native_window(const Form& form) const;
    // Whether a loaded form's window was cut to a shape.
    bool is_shaped(const Form& form) const;
};

} // namespace platform
