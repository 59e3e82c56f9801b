// SDL's events, taken through the event pump, as the window dispatcher's plain events:
// window points mapped back to client pixels, F11 taken for fullscreen, close requests
// made quit requests.

#include "platform/sdl/backend_window.h"
#include "platform/sdl/event_pump.h"
#include "platform/sdl/vk_map.h"

#include <SDL.h>

#include <algorithm>

namespace platform {

namespace {

// How often a window moved by hand follows the pointer when no motion arrives.
constexpr uint32_t kDragPollMs = 10;

} // namespace

void SdlWindowBackend::wait_for_events(uint32_t timeout_ms) {
    const uint32_t timeout = drag_ ? std::min(timeout_ms, kDragPollMs) : timeout_ms;
    events_.wait(timeout);
}

void SdlWindowBackend::collect_events() {
    events_.pump();
}

std::optional<WindowEvent> SdlWindowBackend::next_event() {
    SDL_Event e;
    while (events_.take(e)) {
        if (std::optional<WindowEvent> plain = translate(e)) {
            return plain;
        }
    }
    return std::nullopt;
}

PixelPoint SdlWindowBackend::to_client(uint32_t window_id, int x, int y) const {
    const Window* w = find(window_id);
    return w ? w->frame.placement().to_client(x, y) : PixelPoint{x, y};
}

// F11 is the backend's own: in any window it toggles the game's fullscreen, and the
// forms never hear of it.
std::optional<WindowEvent> SdlWindowBackend::translate_key(const SDL_Event& e) {
    if (e.key.keysym.scancode != SDL_SCANCODE_F11) {
        return KeyDown{static_cast<int16_t>(vk_from_keysym(e.key.keysym)),
                       shift_state(e.key.keysym.mod)};
    }
    Window* w = find(e.key.windowID);
    if (!w || e.key.repeat) {
        return std::nullopt;
    }
    toggle_fullscreen(*w);
    return WindowExposed{w->id};
}

std::optional<WindowEvent> SdlWindowBackend::translate(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN:
        return translate_key(e);
    case SDL_MOUSEBUTTONDOWN: {
        const PixelPoint p = to_client(e.button.windowID, e.button.x, e.button.y);
        const Window* w = find(e.button.windowID);
        // Around a fullscreen client there is only black: a press there hits nothing,
        // as it would have missed the window.
        if (w && w->fullscreen && !w->shows(p)) {
            return std::nullopt;
        }
        return MouseDown{e.button.windowID, p.x, p.y, mouse_button_code(e.button.button), false};
    }
    case SDL_MOUSEBUTTONUP: {
        const PixelPoint p = to_client(e.button.windowID, e.button.x, e.button.y);
        return MouseUp{e.button.windowID, p.x, p.y, mouse_button_code(e.button.button)};
    }
    case SDL_MOUSEMOTION: {
        const PixelPoint p = to_client(e.motion.windowID, e.motion.x, e.motion.y);
        return MouseMove{e.motion.windowID, p.x, p.y};
    }
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
            e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            if (Window* w = find(e.window.windowID)) {
                w->whole_update = true;
                if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                    w->frame.invalidate(); // SDL makes a new frame buffer
                }
            }
            return WindowExposed{e.window.windowID};
        }
        // The window manager is moving the window; the press still reaches its handler.
        if (e.window.event == SDL_WINDOWEVENT_HIT_TEST && hit_press_ &&
            hit_press_->window_id == e.window.windowID && find(e.window.windowID)) {
            const HitPress p = *hit_press_;
            hit_press_.reset();
            return MouseDown{p.window_id, p.x, p.y, kLeftButton, true};
        }
        // The window manager asks to close a window (Alt+F4, the end of the session):
        // the whole program ends, as it would when asked by a signal.
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
            return QuitRequested{};
        }
        return std::nullopt;
    case SDL_QUIT:
        return QuitRequested{};
    default:
        return std::nullopt;
    }
}

} // namespace platform
