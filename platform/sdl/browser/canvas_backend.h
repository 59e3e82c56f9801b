#pragma once
// Windows in a browser page: one canvas shows whichever window is on top, its pixels
// outside the form's outline transparent, so that the page shows through the rounded
// corners. Dragging moves the canvas on the page. SDL delivers the page's keys, mouse
// and gamepads as on the desktop; waiting hands the browser its turn.

#include "platform/sdl/window_backend.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace platform {

class SdlEventPump;

class CanvasWindowBackend : public WindowBackend {
  public:
    // Starts SDL's video on the page's canvas; throws DisplayError when it cannot. SDL's
    // events are taken through the pump, which must outlive the backend.
    explicit CanvasWindowBackend(SdlEventPump& events);
    ~CanvasWindowBackend() override;
    CanvasWindowBackend(const CanvasWindowBackend&) = delete;
    CanvasWindowBackend& operator=(const CanvasWindowBackend&) = delete;

    NativeWindow create_window(const Form& form) override;
    void destroy_window(NativeWindow window) override;
    void show_window(NativeWindow window) override;
    void hide_window(NativeWindow window) override;
    void raise_window(NativeWindow window) override;
    bool update_shape(NativeWindow window, const RoundRegion& outline) override;
    void present(NativeWindow window, const Bitmap& client) override;
    void set_wait_cursor(bool on) override;
    void set_drag_query(DragQuery) override {}
    void start_drag(NativeWindow window) override;
    void follow_drag() override;
    void wait_for_events(uint32_t timeout_ms) override;
    void collect_events() override;
    std::optional<WindowEvent> next_event() override;

    // What the desktop's backend also answers.
    bool headless() const { return false; }
    bool window_manager_moves() const { return false; }
    std::optional<ScreenPoint> position(NativeWindow window) const;
    unsigned long x11_window(NativeWindow) const { return 0; }
    bool is_shaped(NativeWindow window) const { return find(window) != nullptr; }

  private:
    struct Window;
    struct Drag;

    Window* find(NativeWindow window) const;
    // The window the canvas shows: the last one shown or raised that is still shown.
    Window* top() const;
    void bring_to_top(NativeWindow window);
    // Shows the top window on the canvas, when another one than before.
    void show_top();
    void put_on_canvas(Window& w, PixelRect rect);
    std::optional<WindowEvent> translate(const SDL_Event& e);

    SdlEventPump& events_;
    SDL_Window* canvas_ = nullptr;
    std::vector<std::unique_ptr<Window>> windows_;
    std::vector<NativeWindow> stacking_; // bottom to top, shown windows only
    NativeWindow shown_on_canvas_ = 0;
    NativeWindow next_id_ = 1;
    std::unique_ptr<Drag> drag_;
    std::optional<WindowEvent> pending_exposure_;
};

} // namespace platform
