#pragma once
// The few questions about the system's windows SDL cannot answer: the exact pointer
// position while a window moves under it, and whether the system will move windows for
// us; the cut of a window to its outline where the system does it itself; and one X error
// SDL provokes but does not handle. x11.cpp answers them on the Linux desktop, win32.cpp
// on Windows.

#include "platform/legacy/region.h"

#include <SDL_video.h>

#include <optional>

namespace platform::native {

struct Pointer {
    int x = 0, y = 0;  // on the screen
    bool held = false; // any mouse button is down
};

// The pointer as the system sees it now; nothing when the window is not one of its own.
std::optional<Pointer> query_pointer(SDL_Window* window);

// True when the system moves a window whose hit test says SDL_HITTEST_DRAGGABLE: Windows
// does, and on X11 a running window manager that advertises _NET_WM_MOVERESIZE.
bool window_manager_moves_windows(SDL_Window* window);

// The X11 window behind an SDL window, or 0 (also on Windows).
unsigned long x11_window(SDL_Window* window);

// True where the system cuts windows to a region itself, as the old one did (Windows:
// CreateRoundRectRgn, SetWindowRgn); elsewhere SDL's shaped windows do it.
bool system_cuts_windows();

// Cuts the window to `outline` with every client pixel a factor x factor block; false when
// the system cannot (not one of its windows).
bool cut_window(SDL_Window* window, const RoundRegion& outline, int factor);

// Shows the whole window again (full screen).
void uncut_window(SDL_Window* window);

// Makes the session's end (logging off, shutting down) a quit request, as SDL's own signal
// handlers make SIGTERM one on Linux; SDL's video must be running.
void quit_when_session_ends();

// While it lives, X errors of one kind are ignored: BadWindow for a SendEvent. SDL wakes
// its event wait by sending a message to its newest window over a second connection;
// when a handler destroys that window at once, the server may see the destroy first and
// answer the message with BadWindow, which Xlib's default handler turns into an exit.
// Every other error goes to the handler that was in place before. SDL answers a late
// wake-up as its video ends too: made before SDL's video starts and gone after it ends,
// the filter is the handler SDL puts back while it closes its connections. Elsewhere it
// does nothing.
class WakeupErrorFilter {
  public:
    WakeupErrorFilter();
    ~WakeupErrorFilter();
    WakeupErrorFilter(const WakeupErrorFilter&) = delete;
    WakeupErrorFilter& operator=(const WakeupErrorFilter&) = delete;
};

} // namespace platform::native
