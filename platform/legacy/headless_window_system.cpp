#include "platform/legacy/headless_window_system.h"

#include <chrono>
#include <thread>
#include <utility>

namespace platform {

NativeWindow NullWindowBackend::create_window(const Form&) {
    return ++last_;
}

void NullWindowBackend::destroy_window(NativeWindow window) {
    hide_window(window);
}

void NullWindowBackend::hide_window(NativeWindow window) {
    if (dragged_ == window) {
        dragged_ = 0;
    }
}

void NullWindowBackend::start_drag(NativeWindow window) {
    dragged_ = window;
}

void NullWindowBackend::follow_drag() {
    if (buttons_held_ == 0) {
        dragged_ = 0;
    }
}

void NullWindowBackend::wait_for_events(uint32_t timeout_ms) {
    if (queue_.empty()) {
        idle_(timeout_ms);
    }
}

std::optional<WindowEvent> NullWindowBackend::next_event() {
    if (queue_.empty()) {
        return std::nullopt;
    }
    const WindowEvent e = queue_.front();
    queue_.pop_front();
    // The buttons held, as a real pointer reports them to a drag.
    if (const auto* down = std::get_if<MouseDown>(&e)) {
        buttons_held_ |= down->button;
    } else if (const auto* up = std::get_if<MouseUp>(&e)) {
        buttons_held_ &= ~up->button;
    }
    return e;
}

HeadlessWindowSystem::HeadlessWindowSystem(Clock& clock)
    : HeadlessWindowSystem(
          clock, [](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }) {}

HeadlessWindowSystem::HeadlessWindowSystem(Clock& clock, NullWindowBackend::Idle idle)
    : NullBackendHolder{NullWindowBackend(std::move(idle))},
      WindowDispatcher(null_backend_, clock) {}

bool HeadlessWindowSystem::is_dragged(const Form& form) const {
    const NativeWindow window = window_of(form);
    return window != 0 && null_backend_.dragged() == window;
}

void HeadlessWindowSystem::key_down(int16_t key_code, int shift) {
    null_backend_.post(KeyDown{key_code, shift});
}

void HeadlessWindowSystem::mouse_down(const Form& form, int x, int y, int button) {
    null_backend_.post(MouseDown{window_of(form), x, y, button, false});
}

void HeadlessWindowSystem::mouse_up(const Form& form, int x, int y, int button) {
    null_backend_.post(MouseUp{window_of(form), x, y, button});
}

void HeadlessWindowSystem::mouse_move(const Form& form, int x, int y) {
    null_backend_.post(MouseMove{window_of(form), x, y});
}

} // namespace platform
