#pragma once
// Windows on SDL2: one borderless window per loaded form, cut to the form's
// outline on X11 and centred on the screen, and SDL's events as plain events.
// On screens with many pixels every window is magnified by a whole factor, and F11
// shows the game magnified on the whole screen, every window it opens until F11
// again; the forms never see either: events, shapes and images stay in client pixels.

#include "platform/legacy/window_backend.h"
#include "platform/legacy/window_scale.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

struct SDL_Cursor;
struct SDL_Surface;
union SDL_Event;

namespace platform::native {
class WakeupErrorFilter;
}

namespace platform {

class SdlEventPump;

// No display could be opened.
class DisplayError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// Native windows are SDL's window ids. SDL's events are taken through the event pump.
class SdlWindowBackend : public WindowBackend {
  public:
    // Starts SDL's video. Throws DisplayError when no display can be opened; never
    // falls back to an invisible window on its own. With SDL_VIDEODRIVER=dummy or
    // offscreen set, it runs headless with plain windows. The pump must outlive it.
    explicit SdlWindowBackend(SdlEventPump& events);
    ~SdlWindowBackend() override;
    SdlWindowBackend(const SdlWindowBackend&) = delete;
    SdlWindowBackend& operator=(const SdlWindowBackend&) = delete;

    NativeWindow create_window(const Form& form) override;
    void destroy_window(NativeWindow window) override;
    void show_window(NativeWindow window) override;
    void hide_window(NativeWindow window) override;
    void raise_window(NativeWindow window) override;
    bool update_shape(NativeWindow window, const RoundRegion& outline) override;
    void present(NativeWindow window, const Bitmap& client) override;
    void present_changed(NativeWindow window, const Bitmap& client,
                         const PixelRect& changed) override;
    void set_wait_cursor(bool on) override;
    void set_program_icon(std::span<const unsigned char> image) override;
    void set_drag_query(DragQuery query) override { drag_query_ = std::move(query); }
    void start_drag(NativeWindow window) override;
    void follow_drag() override;
    void wait_for_events(uint32_t timeout_ms) override;
    void collect_events() override;
    std::optional<WindowEvent> next_event() override;

    bool headless() const { return headless_; }
    // Whether a press that drags is handed to the window manager's own move
    // (otherwise the window follows the pointer by hand). Known once a window is shown.
    bool window_manager_moves() const { return window_manager_moves_; }
    std::optional<ScreenPoint> position(NativeWindow window) const;
    // The X11 window (0 when headless).
    unsigned long x11_window(NativeWindow window) const;
    bool is_shaped(NativeWindow window) const;

  private:
    struct Window;
    struct Drag;
    struct HitPress;
    struct Callbacks;

    Window* find(NativeWindow window) const;
    int window_scale(PixelSize client);
    void apply_shape(Window& w, const RoundRegion& outline);
    void set_window_mask(Window& w, const std::vector<RowRun>& rows, int factor);
    void lay_out(Window& w, Magnification placement);
    // What F11 does: the game's full screen, on the display of the window it was pressed
    // in, or back to its windows.
    void toggle_fullscreen(Window& focused);
    // Brings a shown window into the game's full screen, or out of it.
    void match_fullscreen(Window& w);
    void enter_fullscreen(Window& w, int display);
    void leave_fullscreen(Window& w);
    std::optional<WindowEvent> translate_key(const SDL_Event& e);
    // A window point as a client point of the window (unchanged for unknown windows).
    PixelPoint to_client(uint32_t window_id, int x, int y) const;
    std::optional<WindowEvent> translate(const SDL_Event& e);
    void end_drag_of(NativeWindow window);
    // What changed, when the dispatcher knows it; otherwise the frame compares.
    void put_on_screen(NativeWindow window, const Bitmap& client,
                       const std::optional<PixelRect>& known_change);

    SdlEventPump& events_;
    bool headless_ = false;
    std::optional<int> asked_scale_; // SKARVELIN_SCALE
    bool cap_reported_ = false;
    std::optional<int> fullscreen_display_; // while the game is full screen
    struct FreeSurface {
        void operator()(SDL_Surface* s) const;
    };
    std::unique_ptr<SDL_Surface, FreeSurface> icon_;
    bool window_manager_moves_ = false;
    std::vector<std::unique_ptr<Window>> windows_;
    DragQuery drag_query_;
    std::unique_ptr<Drag> drag_;
    std::unique_ptr<HitPress> hit_press_;
    std::unique_ptr<native::WakeupErrorFilter> wakeup_errors_;
    SDL_Cursor* arrow_cursor_ = nullptr;
    SDL_Cursor* wait_cursor_ = nullptr;
};

} // namespace platform
