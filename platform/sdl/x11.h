#pragma once
// The few X11 questions SDL cannot answer: the exact pointer position while a
// window moves under it, and whether a window manager will move windows for us;
// and one X error SDL provokes but does not handle.

#include <SDL_video.h>

#include <optional>

namespace platform::x11 {

struct Pointer {
    int x = 0, y = 0;  // on the screen
    bool held = false; // any mouse button is down
};

// The pointer as the X server sees it now; nothing when the window is not an X11 window.
std::optional<Pointer> query_pointer(SDL_Window* window);

// True when a running window manager advertises the move that
// SDL_HITTEST_DRAGGABLE asks for (_NET_WM_MOVERESIZE).
bool window_manager_moves_windows(SDL_Window* window);

// The X11 window behind an SDL window, or 0.
unsigned long native_window(SDL_Window* window);

// While it lives, X errors of one kind are ignored: BadWindow for a SendEvent. SDL wakes
// its event wait by sending a message to its newest window over a second connection;
// when a handler destroys that window at once, the server may see the destroy first and
// answer the message with BadWindow, which Xlib's default handler turns into an exit.
// Every other error goes to the handler that was in place before. SDL answers a late
// wake-up as its video ends too: made before SDL's video starts and gone after it ends,
// the filter is the handler SDL puts back while it closes its connections.
class WakeupErrorFilter {
  public:
    WakeupErrorFilter();
    ~WakeupErrorFilter();
    WakeupErrorFilter(const WakeupErrorFilter&) = delete;
    WakeupErrorFilter& operator=(const WakeupErrorFilter&) = delete;
};

} // namespace platform::x11
