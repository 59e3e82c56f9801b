#pragma once
// What the backend keeps of each of its windows and of a press that moves one; shared by
// the backend's window handling and its event translation, and by nothing else.

#include "platform/sdl/handles.h"
#include "platform/sdl/native_window.h"
#include "platform/sdl/window_backend.h"

#include <SDL.h>

#include <memory>

namespace platform {

struct SdlWindowBackend::Window {
    sdl::WindowPtr window;
    // The surface last drawn into, and whether the screen must get all of it at the
    // next present (mapped, exposed or reshaped since, or a surface not yet drawn).
    SDL_Surface* surface = nullptr;
    bool whole_update = true;
    uint32_t id = 0;
    PixelSize client; // the form's own size, in which it draws and hears the mouse
    int scale = 1;    // the factor of the window when not fullscreen
    bool shaped = false;
    RoundRegion outline{};
    ScreenPoint home;
    bool placed = false; // shown once, at home; afterwards it stays where it was moved
    bool fullscreen = false;
    ScreenPoint windowed_position; // where it was when it went fullscreen
    // The client image magnified into the window's pixels, and where it lies there.
    MagnifiedFrame frame;
    // For a frame buffer whose pixels are laid out otherwise: drawn here, then converted.
    sdl::SurfacePtr staging;

    bool shows(PixelPoint p) const {
        return p.x >= 0 && p.y >= 0 && p.x < client.width && p.y < client.height &&
               outline.contains(p.x, p.y);
    }
};

// A window moved by hand: where the pointer and the window were at the press.
struct SdlWindowBackend::Drag {
    uint32_t window_id = 0;
    native::Pointer pointer;
    ScreenPoint window;
    ScreenPoint last_target;
};

// A press handed to the window manager's move; it is reported when SDL reports the move.
struct SdlWindowBackend::HitPress {
    uint32_t window_id = 0;
    int x = 0, y = 0;
};

} // namespace platform
