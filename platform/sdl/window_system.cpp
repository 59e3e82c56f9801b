#include "platform/sdl_window_system.h"

#include "platform/events.h"
#include "platform/sdl_x11.h"
#include "platform/vk_map.h"

#include <SDL.h>
#include <SDL_shape.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

// How long an idle loop sleeps at most before it looks at the timers again.
constexpr uint32_t kIdleWaitMs = 50;
// How often a window moved by hand follows the pointer when no motion arrives.
constexpr uint32_t kDragPollMs = 10;
// Drawing that bypasses the form (straight onto a picture area) shows within this time.
constexpr uint64_t kRefreshMs = 16;

struct WindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct TextureDeleter {
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

bool is_headless_driver(const char* name) {
    return name && (std::strcmp(name, "dummy") == 0 || std::strcmp(name, "offscreen") == 0);
}

bool env_set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Centred as top = round32(screen - window) \ 2 in twips (15 per pixel): for whole
// pixels that comes to the same as halving in pixels, truncating toward zero.
int centred(int screen_origin, int screen_size, int window_size) {
    return screen_origin + (screen_size - window_size) / 2;
}

// The visible outline of a form's window: its region, or the whole client area.
RoundRegion outline(const Form& f) {
    return f.region.value_or(RoundRegion{0, 0, f.client_width, f.client_height, 0, 0});
}

// SDL's software renderer by index, so that no SDL_RENDER_DRIVER setting swaps it
// for one that needs OpenGL.
int software_renderer() {
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, "software") == 0) {
            return i;
        }
    }
    return -1;
}

bool same_pixels(const Bitmap& a, const Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height()) {
        return false;
    }
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.row(y), b.row(y), size_t(a.width()) * 4) != 0) {
            return false;
        }
    }
    return true;
}

// Mouse buttons as the game's handlers number them: left 1, right 2, middle 4.
int button_code(uint8_t sdl_button) {
    switch (sdl_button) {
    case SDL_BUTTON_LEFT:
        return 1;
    case SDL_BUTTON_RIGHT:
        return 2;
    case SDL_BUTTON_MIDDLE:
        return 4;
    default:
        return 0;
    }
}

// Shift 1, Ctrl 2, Alt 4.
int shift_state(uint16_t mod) {
    return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

} // namespace

struct SdlWindowSystem::Window {
    Form* form = nullptr;
    std::unique_ptr<SDL_Window, WindowDeleter> window;
    std::unique_ptr<SDL_Renderer, RendererDeleter> renderer;
    std::unique_ptr<SDL_Texture, TextureDeleter> texture;
    Bitmap frame{1, 1}; // composed, not yet shown
    Bitmap shown{1, 1}; // what the window shows
    uint32_t id = 0;
    bool shaped = false;
    std::optional<RoundRegion> applied_shape;
    ScreenPoint home;
    bool visible = false;
    bool placed = false;        // shown once, at home; afterwards it stays where it was moved
    bool needs_present = false; // shown or exposed: the comparison must not skip it
    uint64_t last_render = 0;
    int timer_interval = 0;
    uint64_t timer_due = 0;
    bool in_timer = false;
};

// A window moved by hand: where the pointer and the window were at the press.
struct SdlWindowSystem::Drag {
    uint32_t window_id = 0;
    x11::Pointer pointer;
    ScreenPoint window;
    ScreenPoint last_target;
};

// A press handed to the window manager's move; its handler runs when SDL reports it.
struct SdlWindowSystem::HitPress {
    uint32_t window_id = 0;
    int x = 0, y = 0;
};

struct SdlWindowSystem::Callbacks {
    // Runs inside SDL's event pumping: it only decides, it calls no handler.
    static SDL_HitTestResult hit_test(SDL_Window* window, const SDL_Point* p, void* data) {
        auto* self = static_cast<SdlWindowSystem*>(data);
        const Window* w = self->find(SDL_GetWindowID(window));
        if (!self->window_manager_moves_ || !w || !self->accepts_input(*w->form) ||
            !self->drags_at(*w->form, p->x, p->y)) {
            return SDL_HITTEST_NORMAL;
        }
        self->hit_press_ = std::make_unique<HitPress>(HitPress{w->id, p->x, p->y});
        return SDL_HITTEST_DRAGGABLE;
    }
};

SdlWindowSystem::SdlWindowSystem() {
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const bool driver_chosen = chosen && *chosen;
    if (!driver_chosen && !env_set("DISPLAY") && !env_set("WAYLAND_DISPLAY")) {
        throw DisplayError("cannot open a display: DISPLAY is not set "
                           "(SDL_VIDEODRIVER=dummy runs without one)");
    }
    // The windows have no close box, and a signal should end the program as usual.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // An accelerated frame buffer would make SDL re-create each X window without
    // its shape and position; the plain one is also the cheaper one on a software
    // X server (0.6 ms a frame against 2.7 with Mesa under Xvfb).
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        throw DisplayError(std::string("cannot open a display: ") + SDL_GetError());
    }
    headless_ = is_headless_driver(SDL_GetCurrentVideoDriver());
    if (headless_ && !driver_chosen) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        const char* display = std::getenv("DISPLAY");
        throw DisplayError(std::string("cannot open a display: no display answers at DISPLAY=") +
                           (display ? display : ""));
    }
    // Nothing here reads typed text; left on, its events would only pile up.
    SDL_StopTextInput();
    arrow_cursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    wait_cursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
}

SdlWindowSystem::~SdlWindowSystem() {
    for (const auto& w : windows_) {
        w->form->host = nullptr;
    }
    windows_.clear();
    if (arrow_cursor_) {
        SDL_FreeCursor(arrow_cursor_);
    }
    if (wait_cursor_) {
        SDL_FreeCursor(wait_cursor_);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // The last one out also releases what SDL keeps beside its subsystems (D-Bus).
    if (SDL_WasInit(0) == 0) {
        SDL_Quit();
    }
}

SdlWindowSystem::Window* SdlWindowSystem::find(const Form& form) const {
    for (const auto& w : windows_) {
        if (w->form == &form) {
            return w.get();
        }
    }
    return nullptr;
}

SdlWindowSystem::Window* SdlWindowSystem::find(uint32_t window_id) const {
    for (const auto& w : windows_) {
        if (w->id == window_id) {
            return w.get();
        }
    }
    return nullptr;
}

std::unique_ptr<SdlWindowSystem::Window> SdlWindowSystem::create_window(Form& form) {
    auto w = std::make_unique<Window>();
    w->form = &form;
    const int width = form.client_width, height = form.client_height;
    SDL_Rect screen{0, 0, width, height};
    SDL_GetDisplayBounds(0, &screen);
    w->home = {centred(screen.x, screen.w, width), centred(screen.y, screen.h, height)};

    // Drawing goes through SDL's software renderer into the window's own frame
    // buffer (no OpenGL; see the constructor). Drivers that cannot shape return null.
    w->window.reset(SDL_CreateShapedWindow(form.caption.c_str(), w->home.x, w->home.y, width,
                                           height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN));
    w->shaped = w->window != nullptr;
    if (!w->window) {
        w->window.reset(SDL_CreateWindow(form.caption.c_str(), w->home.x, w->home.y, width, height,
                                         SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN));
    }
    if (!w->window) {
        throw DisplayError(std::string("cannot create a window: ") + SDL_GetError());
    }
    w->id = SDL_GetWindowID(w->window.get());
    if (w->shaped) {
        apply_shape(*w);
    }
    // A shaped window is only placed by its first shape, and never at 0: place it now.
    SDL_SetWindowPosition(w->window.get(), w->home.x, w->home.y);
    SDL_SetWindowHitTest(w->window.get(), &Callbacks::hit_test, this);

    w->renderer.reset(SDL_CreateRenderer(w->window.get(), software_renderer(), 0));
    if (!w->renderer) {
        throw DisplayError(std::string("cannot draw into a window: ") + SDL_GetError());
    }
    w->texture.reset(SDL_CreateTexture(w->renderer.get(), SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, width, height));
    if (!w->texture) {
        throw DisplayError(std::string("cannot draw into a window: ") + SDL_GetError());
    }
    w->frame = Bitmap(width, height);
    w->shown = Bitmap(width, height);
    return w;
}

void SdlWindowSystem::apply_shape(Window& w) {
    const Form& f = *w.form;
    const RoundRegion shape = outline(f);
    std::unique_ptr<SDL_Surface, SurfaceDeleter> mask(SDL_CreateRGBSurfaceWithFormat(
        0, f.client_width, f.client_height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!mask) {
        return;
    }
    for (int y = 0; y < mask->h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(mask->pixels) +
                                                ptrdiff_t(y) * mask->pitch);
        std::fill(row, row + mask->w, 0u);
        int x0 = 0, x1 = 0;
        if (shape.row_span(y, x0, x1)) {
            std::fill(row + std::max(x0, 0), row + std::min(x1, mask->w), 0xFFFFFFFFu);
        }
    }
    SDL_WindowShapeMode mode{};
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 128;
    // On failure the window simply stays rectangular.
    SDL_SetWindowShape(w.window.get(), mask.get(), &mode);
    w.applied_shape = shape;
    w.needs_present = true;
}

void SdlWindowSystem::update_shape(Window& w) {
    if (w.shaped && outline(*w.form) != w.applied_shape) {
        apply_shape(w);
    }
}

void SdlWindowSystem::present(Window& w) {
    if (!w.visible) {
        return;
    }
    update_shape(w);
    w.form->take_invalidated();
    w.form->render(w.frame);
    w.last_render = SDL_GetTicks64();
    // Putting a frame on screen costs milliseconds; composing and comparing one,
    // a fraction of one.
    if (!w.needs_present && same_pixels(w.frame, w.shown)) {
        return;
    }
    SDL_UpdateTexture(w.texture.get(), nullptr, w.frame.row(0), w.frame.bytes_per_row());
    SDL_RenderCopy(w.renderer.get(), w.texture.get(), nullptr, nullptr);
    SDL_RenderPresent(w.renderer.get());
    std::swap(w.frame, w.shown);
    w.needs_present = false;
}

void SdlWindowSystem::present_changed() {
    const uint64_t now = SDL_GetTicks64();
    for (const auto& w : windows_) {
        if (w->visible && (w->needs_present || w->form->take_invalidated() ||
                           now - w->last_render >= kRefreshMs)) {
            present(*w);
        }
    }
}

void SdlWindowSystem::repaint(Form& form) {
    if (Window* w = find(form)) {
        present(*w);
    }
}

void SdlWindowSystem::forget(Form& form) {
    forget_shown(form);
    if (active_ == &form) {
        active_ = nullptr;
    }
    std::erase(modal_, &form);
    std::erase_if(windows_, [&](const auto& w) { return w->form == &form; });
}

void SdlWindowSystem::load(Form& form) {
    if (find(form)) {
        return;
    }
    windows_.push_back(create_window(form));
    Window& w = *windows_.back();
    form.host = this;
    // The timer runs from the moment the window loads.
    w.timer_interval = form.timer_interval_ms;
    w.timer_due = SDL_GetTicks64() + static_cast<uint64_t>(std::max(form.timer_interval_ms, 0));
    if (auto on_load = form.on_load) {
        on_load();
    }
}

void SdlWindowSystem::show(Form& form) {
    load(form);
    Window* w = find(form);
    if (!w) {
        return; // its load handler unloaded it again
    }
    if (!w->visible) {
        update_shape(*w);
        SDL_ShowWindow(w->window.get());
        w->visible = true;
        w->needs_present = true;
        if (!w->placed) {
            // A window manager may have placed it on its own when it was mapped.
            SDL_SetWindowPosition(w->window.get(), w->home.x, w->home.y);
            w->placed = true;
        }
        window_manager_moves_ = x11::window_manager_moves_windows(w->window.get());
    }
    SDL_RaiseWindow(w->window.get());
    SDL_SetWindowInputFocus(w->window.get());
    forget_shown(form);
    shown_order_.push_back(&form);
    present(*w);
    activate(form);
}

void SdlWindowSystem::show_modal(Form& form) {
    show(form);
    modal_.push_back(&form);
    struct Pop {
        std::vector<Form*>& modal;
        ~Pop() { modal.pop_back(); }
    } pop{modal_};
    while (is_loaded(form) && is_visible(form)) {
        wait_for_events();
    }
}

void SdlWindowSystem::hide(Form& form) {
    Window* w = find(form);
    if (!w || !w->visible) {
        return;
    }
    SDL_HideWindow(w->window.get());
    w->visible = false;
    if (drag_ && drag_->window_id == w->id) {
        drag_.reset();
    }
    forget_shown(form);
    if (active_ == &form) {
        active_ = nullptr;
        activate_topmost();
    }
}

void SdlWindowSystem::unload(Form& form) {
    Window* w = find(form);
    if (!w) {
        return;
    }
    if (drag_ && drag_->window_id == w->id) {
        drag_.reset();
    }
    forget_shown(form);
    std::erase_if(windows_, [&](const auto& p) { return p.get() == w; });
    form.host = nullptr;
    if (active_ == &form) {
        active_ = nullptr;
        activate_topmost();
    }
}

bool SdlWindowSystem::is_loaded(const Form& form) const {
    return find(form) != nullptr;
}

bool SdlWindowSystem::is_visible(const Form& form) const {
    const Window* w = find(form);
    return w && w->visible;
}

void SdlWindowSystem::set_wait_cursor(bool on) {
    if (SDL_Cursor* c = on ? wait_cursor_ : arrow_cursor_) {
        SDL_SetCursor(c);
    }
}

void SdlWindowSystem::run() {
    while (!windows_.empty()) {
        wait_for_events();
    }
}

std::optional<ScreenPoint> SdlWindowSystem::window_position(const Form& form) const {
    const Window* w = find(form);
    if (!w) {
        return std::nullopt;
    }
    ScreenPoint p;
    SDL_GetWindowPosition(w->window.get(), &p.x, &p.y);
    return p;
}

uint32_t SdlWindowSystem::sdl_window_id(const Form& form) const {
    const Window* w = find(form);
    return w ? w->id : 0;
}

unsigned long SdlWindowSystem::native_window(const Form& form) const {
    const Window* w = find(form);
    return w ? x11::native_window(w->window.get()) : 0;
}

bool SdlWindowSystem::is_shaped(const Form& form) const {
    const Window* w = find(form);
    return w && w->shaped;
}

void SdlWindowSystem::wait_for_events() {
    uint64_t timeout = drag_ ? kDragPollMs : kIdleWaitMs;
    const uint64_t now = SDL_GetTicks64();
    for (const auto& w : windows_) {
        if (w->timer_interval > 0 && w->form->on_timer) {
            timeout = std::min(timeout, w->timer_due > now ? w->timer_due - now : 0);
        }
    }
    SDL_WaitEventTimeout(nullptr, static_cast<int>(timeout));
    deliver_pending_events();
}

void SdlWindowSystem::deliver_pending_events() {
    // One pump, then everything queued, including what handlers cause on the way;
    // nothing stays behind to fill SDL's queue.
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        dispatch(e);
    }
    follow_drag();
    fire_due_timers();
    present_changed();
}

void SdlWindowSystem::dispatch(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN:
        on_key_down(e);
        break;
    case SDL_MOUSEBUTTONDOWN:
        on_mouse_down(e.button.windowID, e.button.x, e.button.y, button_code(e.button.button));
        break;
    case SDL_MOUSEMOTION:
        follow_drag();
        on_mouse_motion(e);
        break;
    case SDL_MOUSEBUTTONUP:
        follow_drag();
        on_mouse_up(e);
        break;
    case SDL_WINDOWEVENT:
        on_window_event(e);
        break;
    case SDL_QUIT:
        end_program(0);
    default:
        break;
    }
}

void SdlWindowSystem::on_window_event(const SDL_Event& e) {
    Window* w = find(e.window.windowID);
    if (!w) {
        return;
    }
    switch (e.window.event) {
    case SDL_WINDOWEVENT_EXPOSED:
        w->needs_present = true;
        break;
    case SDL_WINDOWEVENT_HIT_TEST:
        // The window manager is moving the window; the press still reaches its handler.
        if (hit_press_ && hit_press_->window_id == w->id) {
            const HitPress p = *hit_press_;
            hit_press_.reset();
            press(*w, p.x, p.y, 1, false);
        }
        break;
    default: // close requests among them: the windows have no close box
        break;
    }
}

void SdlWindowSystem::on_key_down(const SDL_Event& e) {
    Form* form = active_;
    if (!form || !accepts_input(*form)) {
        return;
    }
    auto code = static_cast<int16_t>(vk_from_scancode(e.key.keysym.scancode));
    if (code == 0) {
        return;
    }
    if (auto handler = form->key_preview ? form->on_key_down : nullptr) {
        handler(code, shift_state(e.key.keysym.mod));
        form->invalidate();
    }
    // What the preview let through goes on to the focused control.
    if (code != 0 && active_ == form && accepts_input(*form)) {
        key_to_focus(*form, code);
    }
}

void SdlWindowSystem::key_to_focus(Form& form, int16_t code) {
    constexpr int16_t kTab = 9, kEnter = 13, kSpace = 32;
    auto* focused = dynamic_cast<Button*>(form.focus);
    if (code == kTab) {
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
    } else if ((code == kEnter || code == kSpace) && focused && focused->visible) {
        if (auto click = focused->on_click) {
            click();
            form.invalidate();
        }
    }
}

void SdlWindowSystem::on_mouse_down(uint32_t window_id, int x, int y, int button) {
    Window* w = find(window_id);
    if (w && button != 0 && accepts_input(*w->form)) {
        press(*w, x, y, button, true);
    }
}

void SdlWindowSystem::press(Window& w, int x, int y, int button, bool start_dragging) {
    Form& form = *w.form;
    if (start_dragging && drags_at(form, x, y)) {
        start_drag(w);
    }
    Control* c = form.control_at(x, y);
    if (auto* b = dynamic_cast<Button*>(c); b && button == 1) {
        b->pushed = true;
        form.focus = b;
        held_ = {w.id, b};
        form.invalidate();
    }
    // Copied: a handler may replace itself, or unload the window (and `w` with it).
    if (auto handler = c ? c->on_mouse_down : form.on_mouse_down) {
        handler(button);
        form.invalidate();
    }
}

Button* SdlWindowSystem::held_button(uint32_t window_id) const {
    const Window* w = held_.button ? find(held_.window_id) : nullptr;
    if (!w || window_id != held_.window_id) {
        return nullptr;
    }
    const auto& cs = w->form->controls();
    return std::find(cs.begin(), cs.end(), held_.button) != cs.end() ? held_.button : nullptr;
}

void SdlWindowSystem::on_mouse_motion(const SDL_Event& e) {
    // A held button shows pushed in only while the pointer is over it.
    if (Button* b = held_button(e.motion.windowID)) {
        const bool over = b->hit(e.motion.x, e.motion.y);
        if (b->pushed != over) {
            b->pushed = over;
            b->form->invalidate();
        }
    }
}

void SdlWindowSystem::on_mouse_up(const SDL_Event& e) {
    if (e.button.button != SDL_BUTTON_LEFT) {
        return;
    }
    Button* b = held_button(e.button.windowID);
    held_ = {};
    if (!b) {
        return;
    }
    b->pushed = false;
    b->form->invalidate();
    if (b->hit(e.button.x, e.button.y) && accepts_input(*b->form)) {
        if (auto click = b->on_click) {
            click();
        }
    }
}

bool SdlWindowSystem::accepts_input(const Form& form) const {
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

bool SdlWindowSystem::drags_at(const Form& form, int x, int y) const {
    const Control* c = form.control_at(x, y);
    return c ? c->drags_window : form.drags_window;
}

void SdlWindowSystem::start_drag(Window& w) {
    const auto pointer = x11::query_pointer(w.window.get());
    if (!pointer) {
        return;
    }
    drag_ = std::make_unique<Drag>();
    drag_->window_id = w.id;
    drag_->pointer = *pointer;
    SDL_GetWindowPosition(w.window.get(), &drag_->window.x, &drag_->window.y);
    drag_->last_target = drag_->window;
}

void SdlWindowSystem::follow_drag() {
    if (!drag_) {
        return;
    }
    Window* w = find(drag_->window_id);
    const auto pointer = w ? x11::query_pointer(w->window.get()) : std::nullopt;
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

void SdlWindowSystem::fire_due_timers() {
    std::vector<Form*> forms;
    for (const auto& w : windows_) {
        forms.push_back(w->form);
    }
    for (Form* form : forms) {
        Window* w = find(*form);
        if (!w || w->in_timer) {
            continue;
        }
        const uint64_t now = SDL_GetTicks64();
        if (form->timer_interval_ms != w->timer_interval) {
            // A new interval counts from now.
            w->timer_interval = form->timer_interval_ms;
            w->timer_due = now + static_cast<uint64_t>(std::max(w->timer_interval, 0));
            continue;
        }
        if (w->timer_interval <= 0 || !form->on_timer || now < w->timer_due) {
            continue;
        }
        // One tick however late: missed ticks are not made up.
        w->timer_due = now + static_cast<uint64_t>(w->timer_interval);
        w->in_timer = true;
        struct Done {
            SdlWindowSystem& self;
            Form& form;
            ~Done() {
                if (Window* again = self.find(form)) {
                    again->in_timer = false;
                }
            }
        } done{*this, *form};
        auto handler = form->on_timer;
        handler();
        form->invalidate();
    }
}

void SdlWindowSystem::activate(Form& form) {
    if (active_ == &form) {
        return;
    }
    active_ = &form;
    if (auto handler = form.on_activate) {
        handler();
        form.invalidate();
    }
}

void SdlWindowSystem::activate_topmost() {
    if (!shown_order_.empty()) {
        activate(*shown_order_.back());
    }
}

void SdlWindowSystem::forget_shown(const Form& form) {
    std::erase(shown_order_, &form);
}

} // namespace platform
