#include "platform/sdl/window_backend.h"

#include "platform/sdl/backend_window.h"
#include "platform/sdl/native_window.h"

#include <SDL.h>

// Moving a window by its background or title where no window manager does it: the window
// follows the pointer as the system reports it.

namespace platform {

void SdlWindowBackend::start_drag(NativeWindow window) {
    Window* w = find(window);
    // A fullscreen window stays where it is.
    const auto pointer =
        w && !w->fullscreen ? native::query_pointer(w->window.get()) : std::nullopt;
    if (!pointer) {
        return;
    }
    drag_ = std::make_unique<Drag>();
    drag_->window_id = w->id;
    drag_->pointer = *pointer;
    SDL_GetWindowPosition(w->window.get(), &drag_->window.x, &drag_->window.y);
    drag_->last_target = drag_->window;
}

void SdlWindowBackend::follow_drag() {
    if (!drag_) {
        return;
    }
    Window* w = find(drag_->window_id);
    const auto pointer = w ? native::query_pointer(w->window.get()) : std::nullopt;
    if (!pointer) {
        drag_.reset();
        return;
    }
    // The pointer from the X server, not event coordinates: those are relative to
    // where the window was, and overshoot while it moves.
    const ScreenPoint target{drag_->window.x + pointer->x - drag_->pointer.x,
                             drag_->window.y + pointer->y - drag_->pointer.y};
    if (target != drag_->last_target) {
        SDL_SetWindowPosition(w->window.get(), target.x, target.y);
        drag_->last_target = target;
    }
    if (!pointer->held) {
        drag_.reset();
    }
}

void SdlWindowBackend::end_drag_of(NativeWindow window) {
    if (drag_ && drag_->window_id == window) {
        drag_.reset();
    }
}

} // namespace platform
