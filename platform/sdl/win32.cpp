#include "platform/sdl/native_window.h"

#include <SDL_events.h>
#include <SDL_system.h>
#include <SDL_syswm.h>
#include <windows.h>

namespace platform::native {

namespace {

HWND handle_of(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS) {
        return nullptr;
    }
    return info.info.win.window;
}

} // namespace

WakeupErrorFilter::WakeupErrorFilter() = default;
WakeupErrorFilter::~WakeupErrorFilter() = default;

unsigned long x11_window(SDL_Window*) {
    return 0;
}

std::optional<Pointer> query_pointer(SDL_Window* window) {
    POINT p{};
    if (!handle_of(window) || !GetCursorPos(&p)) {
        return std::nullopt;
    }
    const bool held = (GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_MBUTTON) |
                       GetAsyncKeyState(VK_RBUTTON)) < 0;
    return Pointer{p.x, p.y, held};
}

// A draggable hit answers HTCAPTION, and Windows moves the window as by its title bar.
bool window_manager_moves_windows(SDL_Window* window) {
    return handle_of(window) != nullptr;
}

bool system_cuts_windows() {
    return true;
}

// The region the old program asked for, each client pixel magnified to a block; the window
// owns the region once it is set. Windows leaves a round rectangle's right and bottom
// edges out of its region, where the outline holds them: one more on each. A window with
// square corners is left whole.
bool cut_window(SDL_Window* window, const RoundRegion& outline, int factor) {
    const HWND handle = handle_of(window);
    if (!handle) {
        return false;
    }
    if (outline.ellipse_width <= 0 || outline.ellipse_height <= 0) {
        return SetWindowRgn(handle, nullptr, TRUE) != 0;
    }
    const HRGN region =
        CreateRoundRectRgn(outline.left * factor, outline.top * factor, outline.right * factor + 1,
                           outline.bottom * factor + 1, outline.ellipse_width * factor,
                           outline.ellipse_height * factor);
    if (!region) {
        return false;
    }
    if (!SetWindowRgn(handle, region, TRUE)) {
        DeleteObject(region);
        return false;
    }
    return true;
}

void uncut_window(SDL_Window* window) {
    if (const HWND handle = handle_of(window)) {
        SetWindowRgn(handle, nullptr, TRUE);
    }
}

// Windows asks every window before the session ends; the program then ends as Esc ends
// it, with its devices closed, while Windows waits for the answer's consequences.
void quit_when_session_ends() {
    SDL_SetWindowsMessageHook(
        [](void*, void*, unsigned int message, Uint64, Sint64) {
            if (message == WM_QUERYENDSESSION) {
                SDL_Event quit{};
                quit.type = SDL_QUIT;
                SDL_PushEvent(&quit);
            }
        },
        nullptr);
}

} // namespace platform::native
