#include "platform/sdl/window_backend.h"

#include "platform/sdl/vk_map.h"
#include "platform/sdl/x11.h"

#include <SDL.h>
#include <SDL_shape.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

// How often a window moved by hand follows the pointer when no motion arrives.
constexpr uint32_t kDragPollMs = 10;

struct WindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
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

uint32_t* surface_row(SDL_Surface& s, int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s.pixels) + ptrdiff_t(y) * s.pitch);
}

// The columns [first, last] in which two rows of n pixels differ; false when they are equal.
bool changed_span(const uint32_t* a, const uint32_t* b, int n, int& first, int& last) {
    if (std::memcmp(a, b, size_t(n) * 4) == 0) {
        return false;
    }
    first = 0;
    while (a[first] == b[first]) {
        ++first;
    }
    last = n - 1;
    while (a[last] == b[last]) {
        --last;
    }
    return true;
}

// Copies what changed from `client` into `surface` (both 0x00RRGGBB, of one size)
// and returns the rectangle that holds it; an empty one when nothing changed.
SDL_Rect copy_changes(const Bitmap& client, SDL_Surface& surface) {
    int x0 = client.width(), x1 = -1, y0 = -1, y1 = -1;
    for (int y = 0; y < client.height(); ++y) {
        uint32_t* shown = surface_row(surface, y);
        int first = 0, last = 0;
        if (changed_span(client.row(y), shown, client.width(), first, last)) {
            std::memcpy(shown + first, client.row(y) + first, size_t(last - first + 1) * 4);
            x0 = std::min(x0, first);
            x1 = std::max(x1, last);
            y0 = y0 < 0 ? y : y0;
            y1 = y;
        }
    }
    return y0 < 0 ? SDL_Rect{0, 0, 0, 0} : SDL_Rect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

// Mouse buttons as the forms' handlers number them.
int button_code(uint8_t sdl_button) {
    switch (sdl_button) {
    case SDL_BUTTON_LEFT:
        return kLeftButton;
    case SDL_BUTTON_RIGHT:
        return kRightButton;
    case SDL_BUTTON_MIDDLE:
        return kMiddleButton;
    default:
        return 0;
    }
}

// Shift 1, Ctrl 2, Alt 4.
int shift_state(uint16_t mod) {
    return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

} // namespace

struct SdlWindowBackend::Window {
    std::unique_ptr<SDL_Window, WindowDeleter> window;
    // The surface last drawn into, and whether the screen must get all of it at the
    // next present (mapped, exposed or reshaped since, or a surface not yet drawn).
    SDL_Surface* surface = nullptr;
    bool whole_update = true;
    uint32_t id = 0;
    int width = 0, height = 0; // of the client area
    bool shaped = false;
    std::optional<RoundRegion> applied_shape;
    ScreenPoint home;
    bool placed = false; // shown once, at home; afterwards it stays where it was moved
};

// A window moved by hand: where the pointer and the window were at the press.
struct SdlWindowBackend::Drag {
    uint32_t window_id = 0;
    x11::Pointer pointer;
    ScreenPoint window;
    ScreenPoint last_target;
};

// A press handed to the window manager's move; it is reported when SDL reports the move.
struct SdlWindowBackend::HitPress {
    uint32_t window_id = 0;
    int x = 0, y = 0;
};

struct SdlWindowBackend::Callbacks {
    // Runs inside SDL's event pumping: it only decides, it calls no handler.
    static SDL_HitTestResult hit_test(SDL_Window* window, const SDL_Point* p, void* data) {
        auto* self = static_cast<SdlWindowBackend*>(data);
        const uint32_t id = SDL_GetWindowID(window);
        if (!self->window_manager_moves_ || !self->find(id) || !self->drag_query_ ||
            !self->drag_query_(id, p->x, p->y)) {
            return SDL_HITTEST_NORMAL;
        }
        self->hit_press_ = std::make_unique<HitPress>(HitPress{id, p->x, p->y});
        return SDL_HITTEST_DRAGGABLE;
    }
};

SdlWindowBackend::SdlWindowBackend() {
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const bool driver_chosen = chosen && *chosen;
    if (!driver_chosen && !env_set("DISPLAY") && !env_set("WAYLAND_DISPLAY")) {
        throw DisplayError("cannot open a display: DISPLAY is not set "
                           "(SDL_VIDEODRIVER=dummy runs without one)");
    }
    // A close request for any window ends the program, not only for the last one. SDL's
    // own signal handlers turn SIGINT and SIGTERM (a logout) into a quit request, so the
    // program ends as Esc ends it, with its devices closed.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
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

SdlWindowBackend::~SdlWindowBackend() {
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

SdlWindowBackend::Window* SdlWindowBackend::find(NativeWindow window) const {
    for (const auto& w : windows_) {
        if (w->id == window) {
            return w.get();
        }
    }
    return nullptr;
}

NativeWindow SdlWindowBackend::create_window(const Form& form) {
    auto w = std::make_unique<Window>();
    const int width = form.client_width, height = form.client_height;
    w->width = width;
    w->height = height;
    SDL_Rect screen{0, 0, width, height};
    SDL_GetDisplayBounds(0, &screen);
    w->home = {centred(screen.x, screen.w, width), centred(screen.y, screen.h, height)};

    // Frames go straight into the window's own frame buffer, SDL's window surface
    // (no OpenGL; see the constructor). Drivers that cannot shape return null.
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
        apply_shape(*w, form.outline());
    }
    // A shaped window is only placed by its first shape, and never at 0: place it now.
    SDL_SetWindowPosition(w->window.get(), w->home.x, w->home.y);
    SDL_SetWindowHitTest(w->window.get(), &Callbacks::hit_test, this);

    w->surface = SDL_GetWindowSurface(w->window.get());
    if (!w->surface) {
        throw DisplayError(std::string("cannot draw into a window: ") + SDL_GetError());
    }
    windows_.push_back(std::move(w));
    return windows_.back()->id;
}

void SdlWindowBackend::destroy_window(NativeWindow window) {
    end_drag_of(window);
    std::erase_if(windows_, [&](const auto& w) { return w->id == window; });
}

bool SdlWindowBackend::apply_shape(Window& w, const RoundRegion& outline) {
    std::unique_ptr<SDL_Surface, SurfaceDeleter> mask(
        SDL_CreateRGBSurfaceWithFormat(0, w.width, w.height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!mask) {
        return false;
    }
    for (int y = 0; y < mask->h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(mask->pixels) +
                                                ptrdiff_t(y) * mask->pitch);
        std::fill(row, row + mask->w, 0u);
        int x0 = 0, x1 = 0;
        if (outline.row_span(y, x0, x1)) {
            std::fill(row + std::max(x0, 0), row + std::min(x1, mask->w), 0xFFFFFFFFu);
        }
    }
    SDL_WindowShapeMode mode{};
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 128;
    // On failure the window simply stays rectangular.
    SDL_SetWindowShape(w.window.get(), mask.get(), &mode);
    w.applied_shape = outline;
    w.whole_update = true;
    return true;
}

bool SdlWindowBackend::update_shape(NativeWindow window, const RoundRegion& outline) {
    Window* w = find(window);
    return w && w->shaped && outline != w->applied_shape && apply_shape(*w, outline);
}

void SdlWindowBackend::show_window(NativeWindow window) {
    Window* w = find(window);
    if (!w) {
        return;
    }
    SDL_ShowWindow(w->window.get());
    w->whole_update = true;
    if (!w->placed) {
        // A window manager may have placed it on its own when it was mapped.
        SDL_SetWindowPosition(w->window.get(), w->home.x, w->home.y);
        w->placed = true;
    }
    window_manager_moves_ = x11::window_manager_moves_windows(w->window.get());
}

void SdlWindowBackend::hide_window(NativeWindow window) {
    if (Window* w = find(window)) {
        SDL_HideWindow(w->window.get());
        end_drag_of(window);
    }
}

void SdlWindowBackend::raise_window(NativeWindow window) {
    if (Window* w = find(window)) {
        SDL_RaiseWindow(w->window.get());
        SDL_SetWindowInputFocus(w->window.get());
    }
}

void SdlWindowBackend::present(NativeWindow window, const Bitmap& client) {
    Window* w = find(window);
    SDL_Surface* surface = w ? SDL_GetWindowSurface(w->window.get()) : nullptr;
    if (!surface || client.bits_per_pixel() != 32) {
        return;
    }
    const bool same_layout = surface->w == client.width() && surface->h == client.height() &&
                             surface->format->format == SDL_PIXELFORMAT_RGB888;
    if (surface != w->surface || !same_layout) {
        // A new surface holds nothing of ours yet; another layout cannot be compared.
        w->surface = surface;
        w->whole_update = true;
        SDL_Rect whole{0, 0, std::min(surface->w, client.width()),
                       std::min(surface->h, client.height())};
        SDL_ConvertPixels(whole.w, whole.h, SDL_PIXELFORMAT_RGB888, client.row(0),
                          client.bytes_per_row(), surface->format->format, surface->pixels,
                          surface->pitch);
    }
    // The X server keeps what it was sent: only the rectangle that changed travels,
    // unless the window must be shown whole.
    const SDL_Rect changed = same_layout ? copy_changes(client, *surface) : SDL_Rect{};
    if (w->whole_update || changed.w == 0) {
        SDL_UpdateWindowSurface(w->window.get());
        w->whole_update = false;
    } else {
        SDL_UpdateWindowSurfaceRects(w->window.get(), &changed, 1);
    }
}

void SdlWindowBackend::set_wait_cursor(bool on) {
    if (SDL_Cursor* c = on ? wait_cursor_ : arrow_cursor_) {
        SDL_SetCursor(c);
    }
}

std::optional<ScreenPoint> SdlWindowBackend::position(NativeWindow window) const {
    const Window* w = find(window);
    if (!w) {
        return std::nullopt;
    }
    ScreenPoint p;
    SDL_GetWindowPosition(w->window.get(), &p.x, &p.y);
    return p;
}

unsigned long SdlWindowBackend::x11_window(NativeWindow window) const {
    const Window* w = find(window);
    return w ? x11::native_window(w->window.get()) : 0;
}

bool SdlWindowBackend::is_shaped(NativeWindow window) const {
    const Window* w = find(window);
    return w && w->shaped;
}

void SdlWindowBackend::start_drag(NativeWindow window) {
    Window* w = find(window);
    const auto pointer = w ? x11::query_pointer(w->window.get()) : std::nullopt;
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

void SdlWindowBackend::end_drag_of(NativeWindow window) {
    if (drag_ && drag_->window_id == window) {
        drag_.reset();
    }
}

void SdlWindowBackend::wait_for_events(uint32_t timeout_ms) {
    const uint32_t timeout = drag_ ? std::min(timeout_ms, kDragPollMs) : timeout_ms;
    SDL_WaitEventTimeout(nullptr, static_cast<int>(timeout));
}

void SdlWindowBackend::collect_events() {
    SDL_PumpEvents();
}

std::optional<WindowEvent> SdlWindowBackend::next_event() {
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        if (std::optional<WindowEvent> plain = translate(e)) {
            return plain;
        }
    }
    return std::nullopt;
}

std::optional<WindowEvent> SdlWindowBackend::translate(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN:
        return KeyDown{static_cast<int16_t>(vk_from_keysym(e.key.keysym)),
                       shift_state(e.key.keysym.mod)};
    case SDL_MOUSEBUTTONDOWN:
        return MouseDown{e.button.windowID, e.button.x, e.button.y, button_code(e.button.button),
                         false};
    case SDL_MOUSEBUTTONUP:
        return MouseUp{e.button.windowID, e.button.x, e.button.y, button_code(e.button.button)};
    case SDL_MOUSEMOTION:
        return MouseMove{e.motion.windowID, e.motion.x, e.motion.y};
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
            if (Window* w = find(e.window.windowID)) {
                w->whole_update = true;
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
