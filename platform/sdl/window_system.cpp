#include "platform/sdl/window_system.h"

namespace platform {

SdlWindowSystem::SdlWindowSystem() : WindowDispatcher(*sdl_backend_, sdl_clock_) {}

std::optional<ScreenPoint> SdlWindowSystem::window_position(const Form& form) const {
    return sdl_backend_->position(window_of(form));
}

unsigned long SdlWindowSystem::native_window(const Form& form) const {
    return sdl_backend_->x11_window(window_of(form));
}

bool SdlWindowSystem::is_shaped(const Form& form) const {
    return sdl_backend_->is_shaped(window_of(form));
}

} // namespace platform
