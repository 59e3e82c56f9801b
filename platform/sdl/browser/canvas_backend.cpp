#include "platform/sdl/browser/canvas_backend.h"

#include "platform/sdl/browser/page.h"
#include "platform/sdl/event_pump.h"
#include "platform/sdl/vk_map.h"

#include <SDL.h>

#include <algorithm>
#include <string>

namespace platform {

namespace {

// How long a wait sleeps at most before it looks at the events again.
constexpr uint32_t kWaitSliceMs = 4;
// A program that presents without waiting (a sortie in unpaced mode) still gives the
// browser a turn this often: about twice a screen refresh, so that keys arrive and the
// canvas is painted. Only here: the frame's own work never waits, so the build need not
// prepare it for waiting, which would slow it down.
constexpr uint32_t kPresentTurnMs = 8;
// How often a dragged canvas follows the pointer when no motion arrives.
constexpr uint32_t kDragPollMs = 10;

} // namespace

struct CanvasWindowBackend::Window {
    NativeWindow id = 0;
    PixelSize client;
    RoundRegion outline{};
    MagnifiedFrame frame;
    // The client image as last presented, and the same as the canvas takes it: RGBA,
    // transparent outside the outline.
    std::vector<uint32_t> shown;
    std::vector<uint8_t> rgba;
    std::vector<RowRun> rows;
    ScreenPoint offset; // from its centred place on the page, once dragged
    bool drawn = false; // presented at least once

    void lay_out() {
        rows = outline_rows(outline, client);
        frame.set_layout(client, {1, 0, 0}, rows);
    }
    PixelTarget target() {
        return {shown.data(), static_cast<ptrdiff_t>(client.width) * 4, client.width,
                client.height};
    }
    PixelRect whole() const { return {0, 0, client.width, client.height}; }
};

struct CanvasWindowBackend::Drag {
    NativeWindow window = 0;
    page::Pointer pointer;
    ScreenPoint offset;
};

CanvasWindowBackend::CanvasWindowBackend(SdlEventPump& events) : events_(events) {
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        throw DisplayError(std::string("cannot use the page's canvas: ") + SDL_GetError());
    }
    // The canvas: the page draws on it, SDL hears the keys and the mouse on it.
    canvas_ = SDL_CreateWindow("Skarvelin", 0, 0, 549, 349, 0);
    if (!canvas_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw DisplayError(std::string("cannot use the page's canvas: ") + SDL_GetError());
    }
    SDL_StopTextInput();
}

CanvasWindowBackend::~CanvasWindowBackend() {
    windows_.clear();
    SDL_DestroyWindow(canvas_);
    // The event pump, which outlives the backend, is the last one out (SDL_Quit).
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

CanvasWindowBackend::Window* CanvasWindowBackend::find(NativeWindow window) const {
    for (const auto& w : windows_) {
        if (w->id == window) {
            return w.get();
        }
    }
    return nullptr;
}

CanvasWindowBackend::Window* CanvasWindowBackend::top() const {
    return stacking_.empty() ? nullptr : find(stacking_.back());
}

NativeWindow CanvasWindowBackend::create_window(const Form& form) {
    auto w = std::make_unique<Window>();
    w->id = next_id_++;
    w->client = {form.client_width, form.client_height};
    w->outline = form.outline();
    const size_t pixels =
        size_t(std::max(0, w->client.width)) * size_t(std::max(0, w->client.height));
    w->shown.assign(pixels, 0);
    w->rgba.assign(pixels * 4, 0);
    w->lay_out();
    windows_.push_back(std::move(w));
    return windows_.back()->id;
}

void CanvasWindowBackend::destroy_window(NativeWindow window) {
    hide_window(window);
    std::erase_if(windows_, [&](const auto& w) { return w->id == window; });
}

void CanvasWindowBackend::bring_to_top(NativeWindow window) {
    std::erase(stacking_, window);
    stacking_.push_back(window);
    show_top();
}

void CanvasWindowBackend::show_window(NativeWindow window) {
    if (find(window)) {
        bring_to_top(window);
    }
}

void CanvasWindowBackend::hide_window(NativeWindow window) {
    if (drag_ && drag_->window == window) {
        drag_.reset();
    }
    std::erase(stacking_, window);
    show_top();
}

void CanvasWindowBackend::raise_window(NativeWindow window) {
    if (std::find(stacking_.begin(), stacking_.end(), window) != stacking_.end()) {
        bring_to_top(window);
    }
}

void CanvasWindowBackend::show_top() {
    Window* w = top();
    if (!w || w->id == shown_on_canvas_) {
        return;
    }
    shown_on_canvas_ = w->id;
    int width = 0, height = 0;
    SDL_GetWindowSize(canvas_, &width, &height);
    if (width != w->client.width || height != w->client.height) {
        SDL_SetWindowSize(canvas_, w->client.width, w->client.height);
    }
    page::place_canvas(w->offset.x, w->offset.y);
    if (w->drawn) {
        put_on_canvas(*w, w->whole());
    }
    // What it showed before it went under may be stale: the dispatcher presents it anew.
    pending_exposure_ = WindowExposed{w->id};
}

bool CanvasWindowBackend::update_shape(NativeWindow window, const RoundRegion& outline) {
    Window* w = find(window);
    if (!w || outline == w->outline) {
        return false;
    }
    w->outline = outline;
    w->lay_out();
    return true;
}

// Converts a rectangle of the shown image to the canvas's RGBA, transparent outside the
// outline's runs, and puts it on the canvas.
void CanvasWindowBackend::put_on_canvas(Window& w, PixelRect rect) {
    if (rect.empty() || w.shown.empty()) {
        return;
    }
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const RowRun run = w.rows[size_t(y)];
        const uint32_t* source = w.shown.data() + size_t(y) * size_t(w.client.width);
        uint8_t* out = w.rgba.data() + (size_t(y) * size_t(w.client.width)) * 4;
        for (int x = rect.x; x < rect.x + rect.width; ++x) {
            const uint32_t p = source[x];
            uint8_t* o = out + size_t(x) * 4;
            o[0] = static_cast<uint8_t>(p >> 16);
            o[1] = static_cast<uint8_t>(p >> 8);
            o[2] = static_cast<uint8_t>(p);
            o[3] = x >= run.x0 && x < run.x1 ? 255 : 0;
        }
    }
    page::put_image(w.rgba.data(), w.client.width, w.client.height, rect.x, rect.y, rect.width,
                    rect.height);
}

void CanvasWindowBackend::present(NativeWindow window, const Bitmap& client) {
    Window* w = find(window);
    if (!w || client.bits_per_pixel() != 32) {
        return;
    }
    const PixelRect changed = w->frame.update(client, w->target());
    w->drawn = true;
    if (w->id == shown_on_canvas_) {
        const double work = page::work_around_last_turn_ms();
        const double start = page::now_ms();
        put_on_canvas(*w, changed);
        page::report_frame(work, page::now_ms() - start);
    }
    page::give_turn_after(kPresentTurnMs);
}

void CanvasWindowBackend::set_wait_cursor(bool on) {
    page::set_wait_cursor(on);
}

std::optional<ScreenPoint> CanvasWindowBackend::position(NativeWindow window) const {
    const Window* w = find(window);
    if (!w) {
        return std::nullopt;
    }
    return w->offset;
}

void CanvasWindowBackend::start_drag(NativeWindow window) {
    Window* w = find(window);
    if (!w) {
        return;
    }
    drag_ = std::make_unique<Drag>(Drag{window, page::pointer(), w->offset});
}

void CanvasWindowBackend::follow_drag() {
    if (!drag_) {
        return;
    }
    Window* w = find(drag_->window);
    const page::Pointer now = page::pointer();
    if (!w) {
        drag_.reset();
        return;
    }
    const ScreenPoint offset{drag_->offset.x + now.x - drag_->pointer.x,
                             drag_->offset.y + now.y - drag_->pointer.y};
    if (offset != w->offset) {
        w->offset = offset;
        if (w->id == shown_on_canvas_) {
            page::place_canvas(offset.x, offset.y);
        }
    }
    if (!now.held) {
        drag_.reset();
    }
}

void CanvasWindowBackend::wait_for_events(uint32_t timeout_ms) {
    const double deadline =
        page::now_ms() + (drag_ ? std::min(timeout_ms, kDragPollMs) : timeout_ms);
    for (;;) {
        events_.pump();
        if (pending_exposure_ || events_.has_events()) {
            return;
        }
        const double left = deadline - page::now_ms();
        if (left <= 0) {
            return;
        }
        page::sleep(std::min(kWaitSliceMs, static_cast<uint32_t>(left) + 1));
    }
}

// The frame loop waits by collecting events again and again: each time, the browser
// gets its turn.
void CanvasWindowBackend::collect_events() {
    page::give_turn();
    events_.pump();
}

std::optional<WindowEvent> CanvasWindowBackend::next_event() {
    if (pending_exposure_) {
        return std::exchange(pending_exposure_, std::nullopt);
    }
    SDL_Event e;
    while (events_.take(e)) {
        if (std::optional<WindowEvent> plain = translate(e)) {
            return plain;
        }
    }
    return std::nullopt;
}

// Everything on the canvas happens to the window it shows.
std::optional<WindowEvent> CanvasWindowBackend::translate(const SDL_Event& e) {
    const NativeWindow w = shown_on_canvas_;
    switch (e.type) {
    case SDL_KEYDOWN:
        return KeyDown{static_cast<int16_t>(vk_from_keysym(e.key.keysym)),
                       shift_state(e.key.keysym.mod)};
    case SDL_MOUSEBUTTONDOWN:
        if (w) {
            return MouseDown{w, e.button.x, e.button.y, mouse_button_code(e.button.button), false};
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (w) {
            return MouseUp{w, e.button.x, e.button.y, mouse_button_code(e.button.button)};
        }
        break;
    case SDL_MOUSEMOTION:
        if (w) {
            return MouseMove{w, e.motion.x, e.motion.y};
        }
        break;
    case SDL_QUIT:
        return QuitRequested{};
    default:
        break;
    }
    return std::nullopt;
}

} // namespace platform
