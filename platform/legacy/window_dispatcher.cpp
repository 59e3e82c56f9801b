#include "platform/legacy/window_dispatcher.h"

#include "platform/legacy/composed_look.h"
#include "platform/legacy/virtual_keys.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace platform {

namespace {

// How long an idle loop waits at most before it looks at the timers again.
constexpr uint32_t kIdleWaitMs = 50;
// Drawing that bypasses the form (straight onto a picture area) shows within this time.
constexpr int32_t kRefreshMs = 16;

} // namespace

// Marks the time in which the backend gathers native events for delivery.
class WindowDispatcher::Gathering {
  public:
    explicit Gathering(bool& flag) : flag_(flag), was_(std::exchange(flag, true)) {}
    ~Gathering() { flag_ = was_; }
    Gathering(const Gathering&) = delete;
    Gathering& operator=(const Gathering&) = delete;

  private:
    bool& flag_;
    bool was_;
};

struct WindowDispatcher::Window {
    Form* form = nullptr;
    NativeWindow native = 0;
    Bitmap frame{1, 1}; // composed whole, not yet shown
    Bitmap shown{1, 1}; // what the window shows
    // What `shown` was composed from, while every control can tell its look.
    std::optional<ComposedLook> composed;
    bool visible = false;
    bool needs_present = false; // shown or exposed: the comparison must not skip it
    uint32_t last_render = 0;
};

WindowDispatcher::WindowDispatcher(WindowBackend& backend, Clock& clock)
    : backend_(backend), clock_(clock), timers_(clock) {
    backend_.set_drag_query(
        [this](NativeWindow native, int x, int y) { return press_drags(native, x, y); });
}

WindowDispatcher::~WindowDispatcher() {
    backend_.set_drag_query(nullptr);
    for (const auto& w : windows_) {
        w->form->host = nullptr;
    }
    for (const auto& w : windows_) {
        backend_.destroy_window(w->native);
    }
}

WindowDispatcher::Window* WindowDispatcher::find(const Form& form) const {
    for (const auto& w : windows_) {
        if (w->form == &form) {
            return w.get();
        }
    }
    return nullptr;
}

WindowDispatcher::Window* WindowDispatcher::find(NativeWindow native) const {
    for (const auto& w : windows_) {
        if (w->native == native) {
            return w.get();
        }
    }
    return nullptr;
}

NativeWindow WindowDispatcher::window_of(const Form& form) const {
    const Window* w = find(form);
    return w ? w->native : 0;
}

const Bitmap* WindowDispatcher::shown_image(const Form& form) const {
    const Window* w = find(form);
    return w ? &w->shown : nullptr;
}

void WindowDispatcher::update_shape(Window& w) {
    if (backend_.update_shape(w.native, w.form->outline())) {
        w.needs_present = true;
    }
}

void WindowDispatcher::present(Window& w) {
    if (!w.visible) {
        return;
    }
    update_shape(w);
    w.form->take_invalidated();
    ComposedLook look(*w.form);
    const bool known = look.known();
    // Putting a frame on screen costs milliseconds; composing what changed and comparing
    // the picture areas, a fraction of one.
    const PixelRect changed = !w.needs_present && w.composed && known
                                  ? recompose_changes(w, *w.composed, look)
                                  : compose_whole(w);
    w.composed.reset();
    if (known) {
        w.composed = std::move(look);
    }
    w.last_render = clock_.now_ms();
    if (w.needs_present) {
        backend_.present(w.native, w.shown);
    } else if (!changed.empty()) {
        backend_.present_changed(w.native, w.shown, changed);
    }
    w.needs_present = false;
}

PixelRect WindowDispatcher::compose_whole(Window& w) {
    w.form->render(w.frame);
    std::swap(w.frame, w.shown);
    return difference(w.shown, w.frame);
}

PixelRect WindowDispatcher::recompose_changes(Window& w, const ComposedLook& before,
                                              const ComposedLook& now) {
    return before.same_frame(now) ? recompose_controls(w.shown, *w.form, before, now)
                                  : compose_whole(w);
}

void WindowDispatcher::present_changed() {
    const uint32_t now = clock_.now_ms();
    for (const auto& w : windows_) {
        if (w->visible && (w->needs_present || w->form->take_invalidated() ||
                           elapsed_ms(now, w->last_render) >= kRefreshMs)) {
            present(*w);
        }
    }
}

void WindowDispatcher::repaint(Form& form) {
    if (Window* w = find(form)) {
        present(*w);
    }
}

void WindowDispatcher::forget(Form& form) {
    forget_shown(form);
    if (active_ == &form) {
        active_ = nullptr;
    }
    std::erase(modal_, &form);
    timers_.stop(form);
    if (Window* w = find(form)) {
        backend_.destroy_window(w->native);
        std::erase_if(windows_, [&](const auto& p) { return p.get() == w; });
    }
}

void WindowDispatcher::load(Form& form) {
    if (find(form)) {
        return;
    }
    auto w = std::make_unique<Window>();
    w->form = &form;
    w->frame = Bitmap(form.client_width, form.client_height);
    w->shown = Bitmap(form.client_width, form.client_height);
    windows_.reserve(windows_.size() + 1);
    w->native = backend_.create_window(form);
    windows_.push_back(std::move(w));
    form.host = this;
    timers_.start(form);
    if (auto on_load = form.on_load) {
        on_load();
    }
}

void WindowDispatcher::show(Form& form) {
    load(form);
    Window* w = find(form);
    if (!w) {
        return; // its load handler unloaded it again
    }
    if (!w->visible) {
        update_shape(*w);
        backend_.show_window(w->native);
        w->visible = true;
        w->needs_present = true;
    }
    backend_.raise_window(w->native);
    forget_shown(form);
    shown_order_.push_back(&form);
    present(*w);
    activate(form);
}

void WindowDispatcher::show_modal(Form& form) {
    show(form);
    modal_.push_back(&form);
    // Its own entry, unless the form was destroyed (and forgotten) inside the loop.
    struct Pop {
        std::vector<Form*>& modal;
        const Form* form;
        ~Pop() {
            if (auto it = std::find(modal.rbegin(), modal.rend(), form); it != modal.rend()) {
                modal.erase(std::next(it).base());
            }
        }
    } pop{modal_, &form};
    while (is_loaded(form) && is_visible(form)) {
        wait_for_events();
    }
}

void WindowDispatcher::hide(Form& form) {
    Window* w = find(form);
    if (!w || !w->visible) {
        return;
    }
    backend_.hide_window(w->native);
    w->visible = false;
    forget_shown(form);
    if (active_ == &form) {
        active_ = nullptr;
        activate_topmost();
    }
}

void WindowDispatcher::unload(Form& form) {
    Window* w = find(form);
    if (!w) {
        return;
    }
    forget_shown(form);
    timers_.stop(form);
    backend_.destroy_window(w->native);
    std::erase_if(windows_, [&](const auto& p) { return p.get() == w; });
    form.host = nullptr;
    if (active_ == &form) {
        active_ = nullptr;
        activate_topmost();
    }
}

bool WindowDispatcher::is_loaded(const Form& form) const {
    return find(form) != nullptr;
}

bool WindowDispatcher::is_visible(const Form& form) const {
    const Window* w = find(form);
    return w && w->visible;
}

void WindowDispatcher::set_wait_cursor(bool on) {
    backend_.set_wait_cursor(on);
}

void WindowDispatcher::set_program_icon(std::span<const unsigned char> image) {
    backend_.set_program_icon(image);
}

void WindowDispatcher::run() {
    while (!windows_.empty()) {
        wait_for_events();
    }
}

void WindowDispatcher::wait_for_events() {
    {
        const Gathering gathering(gathering_);
        backend_.wait_for_events(timers_.time_to_next(kIdleWaitMs));
    }
    deliver_pending_events();
}

void WindowDispatcher::deliver_pending_events() {
    // One gathering, then everything queued, including what handlers cause on the
    // way; nothing stays behind to fill the native queue.
    {
        const Gathering gathering(gathering_);
        backend_.collect_events();
    }
    while (const std::optional<WindowEvent> e = backend_.next_event()) {
        dispatch(*e);
    }
    backend_.follow_drag();
    timers_.fire_due();
    present_changed();
}

void WindowDispatcher::dispatch(const WindowEvent& e) {
    std::visit([this](const auto& event) { handle(event); }, e);
}

void WindowDispatcher::handle(const KeyDown& e) {
    Form* form = active_;
    if (!form || !accepts_input(*form) || e.key_code == 0) {
        return;
    }
    int16_t code = e.key_code;
    if (auto handler = form->key_preview ? form->on_key_down : nullptr) {
        handler(code, e.shift);
        form->invalidate();
    }
    // What the preview let through goes on to the focused control.
    if (code != 0 && active_ == form && accepts_input(*form)) {
        key_to_focus(*form, code);
    }
}

void WindowDispatcher::key_to_focus(Form& form, int16_t code) {
    auto* focused = dynamic_cast<Button*>(form.focus);
    if (code == vk::kTab) {
        // To the next button in the order the controls were added, round to the first.
        const auto& cs = form.controls();
        const auto at = std::find(cs.begin(), cs.end(), form.focus);
        const size_t start = at == cs.end() ? cs.size() - 1 : size_t(at - cs.begin());
        for (size_t i = 1; i <= cs.size(); ++i) {
            Control* c = cs[(start + i) % cs.size()];
            if (c->visible && dynamic_cast<Button*>(c)) {
                form.focus = c;
                form.invalidate();
                break;
            }
        }
    } else if ((code == vk::kEnter || code == vk::kSpace) && focused && focused->visible) {
        if (auto click = focused->on_click) {
            click();
            form.invalidate();
        }
    }
}

void WindowDispatcher::handle(const MouseDown& e) {
    Window* w = find(e.window);
    if (!w || e.button == 0) {
        return;
    }
    if (e.moved_by_window_manager) {
        // Whether the window took input was asked when the press began.
        press(*w, e.x, e.y, e.button, false);
    } else if (accepts_input(*w->form)) {
        press(*w, e.x, e.y, e.button, true);
    }
}

void WindowDispatcher::press(Window& w, int x, int y, int button, bool start_drag) {
    Form& form = *w.form;
    if (start_drag && form.drags_at(x, y)) {
        backend_.start_drag(w.native);
    }
    Control* c = form.control_at(x, y);
    if (auto* b = dynamic_cast<Button*>(c); b && b->visible && button == kLeftButton) {
        b->pushed = true;
        form.focus = b;
        held_ = {w.native, b};
        form.invalidate();
    }
    // Copied: a handler may replace itself, or unload the window (and `w` with it).
    if (auto handler = c ? c->on_mouse_down : form.on_mouse_down) {
        handler(button);
        form.invalidate();
    }
}

Button* WindowDispatcher::held_button(NativeWindow native) const {
    const Window* w = held_.button ? find(held_.window) : nullptr;
    if (!w || native != held_.window) {
        return nullptr;
    }
    const auto& cs = w->form->controls();
    return std::find(cs.begin(), cs.end(), held_.button) != cs.end() ? held_.button : nullptr;
}

void WindowDispatcher::handle(const MouseMove& e) {
    backend_.follow_drag();
    // A held button shows pushed in only while the pointer is over it.
    if (Button* b = held_button(e.window)) {
        const bool over = b->hit(e.x, e.y);
        if (b->pushed != over) {
            b->pushed = over;
            b->form->invalidate();
        }
    }
}

void WindowDispatcher::handle(const MouseUp& e) {
    backend_.follow_drag();
    if (e.button != kLeftButton) {
        return;
    }
    Button* b = held_button(e.window);
    held_ = {};
    if (!b) {
        return;
    }
    b->pushed = false;
    b->form->invalidate();
    if (b->hit(e.x, e.y) && accepts_input(*b->form)) {
        if (auto click = b->on_click) {
            click();
        }
    }
}

void WindowDispatcher::handle(const WindowExposed& e) {
    if (Window* w = find(e.window)) {
        w->needs_present = true;
    }
}

void WindowDispatcher::handle(const QuitRequested&) {
    end_program(0);
}

bool WindowDispatcher::accepts_input(const Form& form) const {
    if (!is_visible(form)) {
        return false;
    }
    // Only the innermost modal window that is still visible takes input.
    for (auto it = modal_.rbegin(); it != modal_.rend(); ++it) {
        if (is_visible(**it)) {
            return *it == &form;
        }
    }
    return true;
}

bool WindowDispatcher::press_drags(NativeWindow native, int x, int y) const {
    // Outside event delivery (the key state pumping the native queue during an
    // unpaced sortie) no events are delivered, so nothing may be dragged either.
    if (!gathering_) {
        return false;
    }
    const Window* w = find(native);
    return w && accepts_input(*w->form) && w->form->drags_at(x, y);
}

void WindowDispatcher::activate(Form& form) {
    if (active_ == &form) {
        return;
    }
    active_ = &form;
    if (auto handler = form.on_activate) {
        handler();
        form.invalidate();
    }
}

void WindowDispatcher::activate_topmost() {
    if (!shown_order_.empty()) {
        activate(*shown_order_.back());
    }
}

void WindowDispatcher::forget_shown(const Form& form) {
    std::erase(shown_order_, &form);
}

} // namespace platform
