#include "platform/sdl/window_system.h"

namespace platform {

SdlWindowSystem::SdlWindowSystem()
    : backend_(std::make_unique<SdlWindowBackend>()), dispatcher_(*backend_, clock_) {}

std::optional<ScreenPoint> SdlWindowSystem::window_position(const Form& form) const {
    return backend_->position(dispatcher_.window_of(form));
}

unsigned long SdlWindowSystem::native_window(const Form& form) const {
    return backend_->x11_window(dispatcher_.window_of(form));
}

bool SdlWindowSystem::is_shaped(const Form& form) const {
    return backend_->is_shaped(dispatcher_.window_of(form));
}

} // namespace platform
