#pragma once
// What a window backend reports, as plain values that the window dispatcher
// routes to the forms' handlers. Positions are client pixels of the window named.

#include <cstdint>
#include <variant>

namespace platform {

// A backend's name for one of its windows; never 0.
using NativeWindow = uint32_t;

// Mouse buttons as the forms' handlers number them; 0 is a button they do not know.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// A key went down (an auto-repeat too); it goes to the active form.
struct KeyDown {
    int16_t key_code = 0; // the virtual-key code; 0 for a key without one
    int shift = 0;        // Shift 1, Ctrl 2, Alt 4
};

struct MouseDown {
    NativeWindow window = 0;
    int x = 0, y = 0;
    int button = 0;
    // The window manager took the press to move the window itself, having asked
    // the dispatcher when the press began; no drag of our own starts.
    bool moved_by_window_manager = false;
};

struct MouseUp {
    NativeWindow window = 0;
    int x = 0, y = 0;
    int button = 0;
};

struct MouseMove {
    NativeWindow window = 0;
    int x = 0, y = 0;
};

// What the window shows was lost (it was covered or mapped): it must be presented again.
struct WindowExposed {
    NativeWindow window = 0;
};

// The session asks the program to end: a signal, or logging out.
struct QuitRequested {};

using WindowEvent =
    std::variant<KeyDown, MouseDown, MouseUp, MouseMove, WindowExposed, QuitRequested>;

} // namespace platform
