#include "platform/sdl/window_backend.h"

#include "platform/sdl/backend_window.h"
#include "platform/sdl/handles.h"
#include "platform/sdl/native_window.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_shape.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

bool is_headless_driver(const char* name) {
    return name && (std::strcmp(name, "dummy") == 0 || std::strcmp(name, "offscreen") == 0);
}

// Whether the environment names a display to open: every Windows session has its desktop.
bool display_named() {
#ifdef _WIN32
    return true;
#else
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
#endif
}

// Centred as top = round32(screen - window) \ 2 in twips (15 per pixel): for whole
// pixels that comes to the same as halving in pixels, truncating toward zero.
int centred(int screen_origin, int screen_size, int window_size) {
    return screen_origin + (screen_size - window_size) / 2;
}

PixelTarget pixels_of(SDL_Surface& s) {
    return {static_cast<uint32_t*>(s.pixels), s.pitch, s.w, s.h};
}

PixelSize size_of(const SDL_Rect& r) {
    return {r.w, r.h};
}

// SKARVELIN_SCALE, when set; anything but a whole number from 1 up is said and ignored.
std::optional<int> asked_window_scale() {
    const char* text = std::getenv("SKARVELIN_SCALE");
    if (!text) {
        return std::nullopt;
    }
    const std::optional<int> asked = parse_window_scale(text);
    if (!asked) {
        std::fprintf(stderr,
                     "display: SKARVELIN_SCALE=\"%s\" is not a whole number from 1 up; "
                     "the display's factor is used\n",
                     text);
    }
    return asked;
}

// The desktop matches the windows to the launcher by their class (X11's WM_CLASS, the app
// id on Wayland). SDL reads it as its video starts; a class set in the environment stays.
void name_windows_class() {
    for (const char* variable : {"SDL_VIDEO_X11_WMCLASS", "SDL_VIDEO_WAYLAND_WMCLASS"}) {
        SDL_setenv(variable, SKARVELIN_APP_ID, 0);
    }
}

} // namespace

struct SdlWindowBackend::Callbacks {
    // Runs inside SDL's event pumping: it only decides, it calls no handler.
    static SDL_HitTestResult hit_test(SDL_Window* window, const SDL_Point* p, void* data) {
        auto* self = static_cast<SdlWindowBackend*>(data);
        const uint32_t id = SDL_GetWindowID(window);
        const Window* w = self->find(id);
        if (!self->window_manager_moves_ || !w || w->fullscreen || !self->drag_query_) {
            return SDL_HITTEST_NORMAL;
        }
        const PixelPoint c = w->frame.placement().to_client(p->x, p->y);
        if (!self->drag_query_(id, c.x, c.y)) {
            return SDL_HITTEST_NORMAL;
        }
        self->hit_press_ = std::make_unique<HitPress>(HitPress{id, c.x, c.y});
        return SDL_HITTEST_DRAGGABLE;
    }
};

SdlWindowBackend::SdlWindowBackend(SdlEventPump& events) : events_(events) {
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const bool driver_chosen = chosen && *chosen;
    if (!driver_chosen && !display_named()) {
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
    // Before SDL's video starts: SDL puts back the handler it found here just before it
    // closes its connections, where the last late wake-up may still be answered.
    wakeup_errors_ = std::make_unique<native::WakeupErrorFilter>();
    name_windows_class();
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
    native::quit_when_session_ends();
    // Nothing here reads typed text; left on, its events would only pile up.
    SDL_StopTextInput();
    asked_scale_ = asked_window_scale();
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
    // The event pump, which outlives the backend, is the last one out (SDL_Quit).
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    wakeup_errors_.reset(); // once SDL's connections are closed
}

SdlWindowBackend::Window* SdlWindowBackend::find(NativeWindow window) const {
    for (const auto& w : windows_) {
        if (w->id == window) {
            return w.get();
        }
    }
    return nullptr;
}

int SdlWindowBackend::window_scale(PixelSize client) {
    SDL_Rect screen{0, 0, client.width, client.height};
    SDL_GetDisplayBounds(0, &screen);
    if (!asked_scale_) {
        SDL_Rect usable = screen;
        SDL_GetDisplayUsableBounds(0, &usable);
        return display_window_scale(client, size_of(usable));
    }
    const int scale = capped_window_scale(*asked_scale_, client, size_of(screen));
    if (scale != *asked_scale_ && !cap_reported_) {
        std::fprintf(stderr,
                     "display: SKARVELIN_SCALE=%d does not fit on the screen; "
                     "the windows are magnified %d times\n",
                     *asked_scale_, scale);
        cap_reported_ = true;
    }
    return scale;
}

NativeWindow SdlWindowBackend::create_window(const Form& form) {
    auto w = std::make_unique<Window>();
    w->client = {form.client_width, form.client_height};
    w->scale = window_scale(w->client);
    const PixelSize size = Magnification{w->scale}.magnified(w->client);
    SDL_Rect screen{0, 0, size.width, size.height};
    SDL_GetDisplayBounds(0, &screen);
    w->home = {centred(screen.x, screen.w, size.width), centred(screen.y, screen.h, size.height)};

    // Frames go straight into the window's own frame buffer, SDL's window surface
    // (no OpenGL; see the constructor). Drivers that cannot shape return null.
    if (!native::system_cuts_windows()) {
        w->window.reset(SDL_CreateShapedWindow(form.caption.c_str(), w->home.x, w->home.y,
                                               size.width, size.height,
                                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN));
        w->shaped = w->window != nullptr;
    }
    if (!w->window) {
        w->window.reset(SDL_CreateWindow(form.caption.c_str(), w->home.x, w->home.y, size.width,
                                         size.height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN));
    }
    if (!w->window) {
        throw DisplayError(std::string("cannot create a window: ") + SDL_GetError());
    }
    w->id = SDL_GetWindowID(w->window.get());
    if (icon_) {
        SDL_SetWindowIcon(w->window.get(), icon_.get());
    }
    w->outline = form.outline();
    if (native::system_cuts_windows()) {
        w->shaped = native::cut_window(w->window.get(), w->outline, w->scale);
    } else if (w->shaped) {
        apply_shape(*w, w->outline);
    }
    lay_out(*w, {w->scale, 0, 0});
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

// The window's X shape: a mask of the window's size, each client pixel a block.
void SdlWindowBackend::set_window_mask(Window& w, const std::vector<RowRun>& rows, int factor) {
    int width = 0, height = 0;
    SDL_GetWindowSize(w.window.get(), &width, &height);
    sdl::SurfacePtr mask(
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!mask) {
        return;
    }
    fill_magnified_mask(rows, factor, pixels_of(*mask));
    SDL_WindowShapeMode mode{};
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 128;
    // On failure the window simply stays rectangular.
    SDL_SetWindowShape(w.window.get(), mask.get(), &mode);
}

void SdlWindowBackend::apply_shape(Window& w, const RoundRegion& outline) {
    w.outline = outline;
    if (native::system_cuts_windows()) {
        native::cut_window(w.window.get(), outline, w.scale);
        return;
    }
    set_window_mask(w, outline_rows(outline, w.client), w.scale);
}

// Where the client lies in the window's pixels, and which of its pixels show: the
// next present writes and sends all of them.
void SdlWindowBackend::lay_out(Window& w, Magnification placement) {
    const bool clipped = w.shaped || w.fullscreen;
    w.frame.set_layout(w.client, placement,
                       clipped ? outline_rows(w.outline, w.client) : full_rows(w.client));
    w.whole_update = true;
}

bool SdlWindowBackend::update_shape(NativeWindow window, const RoundRegion& outline) {
    Window* w = find(window);
    if (!w || outline == w->outline) {
        return false;
    }
    if (w->fullscreen) {
        // The screen shows no shape; the corners outside the outline are drawn black.
        w->outline = outline;
        lay_out(*w, w->frame.placement());
        return true;
    }
    if (!w->shaped) {
        w->outline = outline;
        return false;
    }
    apply_shape(*w, outline);
    lay_out(*w, w->frame.placement());
    return true;
}

void SdlWindowBackend::toggle_fullscreen(Window& focused) {
    if (fullscreen_display_) {
        fullscreen_display_.reset();
    } else {
        const int display = SDL_GetWindowDisplayIndex(focused.window.get());
        if (display < 0) {
            return;
        }
        fullscreen_display_ = display;
    }
    // Hidden windows follow when they are shown again.
    for (const auto& w : windows_) {
        if (SDL_GetWindowFlags(w->window.get()) & SDL_WINDOW_SHOWN) {
            match_fullscreen(*w);
        }
    }
}

void SdlWindowBackend::match_fullscreen(Window& w) {
    if (fullscreen_display_ && !w.fullscreen) {
        enter_fullscreen(w, *fullscreen_display_);
    } else if (!fullscreen_display_ && w.fullscreen) {
        leave_fullscreen(w);
    }
}

void SdlWindowBackend::enter_fullscreen(Window& w, int display) {
    SDL_Window* window = w.window.get();
    SDL_Rect screen{};
    if (SDL_GetDisplayBounds(display, &screen) != 0) {
        return;
    }
    end_drag_of(w.id);
    SDL_GetWindowPosition(window, &w.windowed_position.x, &w.windowed_position.y);
    w.fullscreen = true;
    // A borderless window the size of the screen, moved by hand: it works with a
    // window manager or without one, where asking for fullscreen does not.
    SDL_SetWindowSize(window, screen.w, screen.h);
    PixelSize size;
    SDL_GetWindowSize(window, &size.width, &size.height);
    if (w.shaped && native::system_cuts_windows()) {
        native::uncut_window(window);
    } else if (w.shaped) {
        set_window_mask(w, full_rows(size), 1);
    }
    SDL_SetWindowPosition(window, screen.x, screen.y);
    SDL_RaiseWindow(window);
    lay_out(w, centred_magnification(w.client, size));
}

void SdlWindowBackend::leave_fullscreen(Window& w) {
    SDL_Window* window = w.window.get();
    w.fullscreen = false;
    const PixelSize size = Magnification{w.scale}.magnified(w.client);
    SDL_SetWindowSize(window, size.width, size.height);
    if (w.shaped) {
        apply_shape(w, w.outline);
    }
    // Resizing a shaped window takes it off the screen until it is placed again.
    SDL_SetWindowPosition(window, w.windowed_position.x, w.windowed_position.y);
    lay_out(w, {w.scale, 0, 0});
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
    window_manager_moves_ = native::window_manager_moves_windows(w->window.get());
    // Full screen is the game's, not one window's: every window it shows takes it on, from
    // where it would have stood.
    match_fullscreen(*w);
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
    put_on_screen(window, client, std::nullopt);
}

void SdlWindowBackend::present_changed(NativeWindow window, const Bitmap& client,
                                       const PixelRect& changed) {
    put_on_screen(window, client, changed);
}

void SdlWindowBackend::put_on_screen(NativeWindow window, const Bitmap& client,
                                     const std::optional<PixelRect>& known_change) {
    Window* w = find(window);
    SDL_Surface* surface = w ? SDL_GetWindowSurface(w->window.get()) : nullptr;
    if (!surface || client.bits_per_pixel() != 32) {
        return;
    }
    if (surface != w->surface) {
        // A new surface (the window changed size) holds nothing of ours yet.
        w->surface = surface;
        w->frame.invalidate();
        w->whole_update = true;
    }
    SDL_Surface* drawn = surface;
    if (surface->format->format != SDL_PIXELFORMAT_RGB888) {
        if (!w->staging || w->staging->w != surface->w || w->staging->h != surface->h) {
            w->staging.reset(SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32,
                                                            SDL_PIXELFORMAT_RGB888));
            w->frame.invalidate();
        }
        if (!w->staging) {
            return;
        }
        drawn = w->staging.get();
    }
    const PixelRect written = known_change
                                  ? w->frame.update(client, pixels_of(*drawn), *known_change)
                                  : w->frame.update(client, pixels_of(*drawn));
    SDL_Rect changed{written.x, written.y, written.width, written.height};
    if (drawn != surface && !written.empty()) {
        SDL_BlitSurface(drawn, &changed, surface, &changed);
    }
    // The X server keeps what it was sent: only the rectangle that changed travels,
    // unless the window must be shown whole.
    if (w->whole_update || written.empty()) {
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

void SdlWindowBackend::FreeSurface::operator()(SDL_Surface* s) const {
    SDL_FreeSurface(s);
}

void SdlWindowBackend::set_program_icon(std::span<const unsigned char> image) {
    SDL_RWops* rw = image.size() <= static_cast<size_t>(INT_MAX)
                        ? SDL_RWFromConstMem(image.data(), static_cast<int>(image.size()))
                        : nullptr;
    SDL_Surface* decoded = rw ? IMG_Load_RW(rw, 1) : nullptr;
    if (!decoded) {
        // Only the desktop's picture of the windows is missing: the game goes on without it.
        std::fprintf(stderr,
                     "display: the program's icon cannot be read (%s); the windows show none\n",
                     IMG_GetError());
        return;
    }
    icon_.reset(decoded);
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
    return w ? native::x11_window(w->window.get()) : 0;
}

bool SdlWindowBackend::is_shaped(NativeWindow window) const {
    const Window* w = find(window);
    return w && w->shaped;
}

} // namespace platform
