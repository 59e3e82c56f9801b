#include "platform/sdl/native_window.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xproto.h>

namespace platform::native {

namespace {

struct Connection {
    Display* display = nullptr;
    Window root = 0;
};

std::optional<Connection> connection(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return std::nullopt;
    }
    Display* d = info.info.x11.display;
    return Connection{d, DefaultRootWindow(d)};
}

// The window id held by a WINDOW-typed property, or 0.
Window window_property(Display* d, Window w, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window value = 0;
    if (XGetWindowProperty(d, w, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                           &data) == Success &&
        data && type == XA_WINDOW && format == 32 && count == 1) {
        value = *reinterpret_cast<Window*>(data);
    }
    if (data) {
        XFree(data);
    }
    return value;
}

bool supports(Display* d, Window root, Atom feature) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(d, root, XInternAtom(d, "_NET_SUPPORTED", False), 0, 4096, False,
                           XA_ATOM, &type, &format, &count, &after, &data) == Success &&
        data && type == XA_ATOM && format == 32) {
        const Atom* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) {
            found = atoms[i] == feature;
        }
    }
    if (data) {
        XFree(data);
    }
    return found;
}

XErrorHandler handler_before_filter = nullptr;

int ignore_late_wakeups(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) {
        return 0;
    }
    return handler_before_filter ? handler_before_filter(display, error) : 0;
}

} // namespace

WakeupErrorFilter::WakeupErrorFilter() {
    handler_before_filter = XSetErrorHandler(&ignore_late_wakeups);
}

WakeupErrorFilter::~WakeupErrorFilter() {
    XSetErrorHandler(handler_before_filter);
    handler_before_filter = nullptr;
}

unsigned long x11_window(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return 0;
    }
    return info.info.x11.window;
}

std::optional<Pointer> query_pointer(SDL_Window* window) {
    const auto c = connection(window);
    if (!c) {
        return std::nullopt;
    }
    Window root = 0, child = 0;
    int root_x = 0, root_y = 0, win_x = 0, win_y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(c->display, c->root, &root, &child, &root_x, &root_y, &win_x, &win_y,
                       &mask)) {
        return std::nullopt;
    }
    const unsigned int buttons = Button1Mask | Button2Mask | Button3Mask;
    return Pointer{root_x, root_y, (mask & buttons) != 0};
}

bool window_manager_moves_windows(SDL_Window* window) {
    const auto c = connection(window);
    if (!c) {
        return false;
    }
    // A live window manager keeps a check window that names itself; a stale
    // property left by one that has gone does not.
    const Atom check = XInternAtom(c->display, "_NET_SUPPORTING_WM_CHECK", False);
    const Window wm = window_property(c->display, c->root, check);
    if (wm == 0) {
        return false;
    }
    // The check window may have gone with its manager: ask without dying on BadWindow.
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const bool alive = window_property(c->display, wm, check) == wm;
    XSync(c->display, False);
    XSetErrorHandler(previous);
    return alive &&
           supports(c->display, c->root, XInternAtom(c->display, "_NET_WM_MOVERESIZE", False));
}

// SDL's shaped windows cut X11 windows (the X Shape extension).
bool system_cuts_windows() {
    return false;
}

bool cut_window(SDL_Window*, const RoundRegion&, int) {
    return false;
}

void uncut_window(SDL_Window*) {}

void quit_when_session_ends() {}

} // namespace platform::native
