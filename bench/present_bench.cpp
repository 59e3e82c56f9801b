// Putting a changed playfield on the screen: through the game window's real path
// (compose the window, compare, hand it to the backend), beside a bare SDL window
// surface update of the same size in the same run.

#include "timing.h"
#include "windows.h"

#include "app/frmMain.h"
#include "platform/sdl/handles.h"
#include "platform/sdl/window_system.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_input.h"
#include "tests/support/recording_media_player.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace bench {

namespace {

constexpr int kPlayfieldWidth = 512;
constexpr int kPlayfieldHeight = 300;

// Two playfield pictures that differ everywhere, so that every present has work.
std::array<platform::Bitmap, 2> alternating_frames(int w, int h) {
    std::array<platform::Bitmap, 2> frames{platform::Bitmap(w, h), platform::Bitmap(w, h)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            frames[0].set_pixel(x, y, uint32_t(x * 3 + y * 5) & 0x00FFFFFFu);
            frames[1].set_pixel(x, y, uint32_t(x * 7 ^ y * 11) & 0x00FFFFFFu);
        }
    }
    return frames;
}

std::string game_sheet(std::string_view path) {
    return app::resolve_game_path(path);
}

// The game window on the SDL window system, its loading sequence done.
struct GameWindowOnScreen {
    platform::SdlWindowSystem windows;
    platform::FakeClock clock{1000, 1};
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{7, false};
    app::Services services{clock, keys, joystick, windows, media, rnd, &windows, game_sheet};
    app::frmMain form{services};

    GameWindowOnScreen() { windows.show(form); }
};

// A bare SDL window of the playfield's size and its 32-bit surface.
class BareWindow {
  public:
    BareWindow() {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // In the screen's corner, clear of the game window in the middle, which stays open
        // beside it: neither hides a part of the other from the X server's drawing.
        window_.reset(SDL_CreateWindow("present_floor", 0, 0, kPlayfieldWidth, kPlayfieldHeight,
                                       SDL_WINDOW_BORDERLESS));
        surface_ = window_ ? SDL_GetWindowSurface(window_.get()) : nullptr;
        if (!surface_ || surface_->format->BytesPerPixel != 4) {
            throw platform::DisplayError("no 32-bit window surface");
        }
    }
    SDL_Window* window() const { return window_.get(); }
    SDL_Surface& surface() const { return *surface_; }

  private:
    struct Video {
        Video() {
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
                throw platform::DisplayError(SDL_GetError());
            }
        }
        ~Video() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
        Video(const Video&) = delete;
        Video& operator=(const Video&) = delete;
    } video_;
    sdl::WindowPtr window_;
    SDL_Surface* surface_ = nullptr;
};

// Opened by the first run that needs it and kept to the end of the process: every
// repetition, and every calibration run of the first, shows in the same window. A
// display opened anew each time could fail once and skip that one repetition, whose
// iteration count (none) Google Benchmark then refuses to aggregate with the others'.
template <typename Screen> class OpenOnce {
  public:
    Screen* get() {
        if (!tried_) {
            tried_ = true;
            try {
                screen_ = std::make_unique<Screen>();
            } catch (const platform::DisplayError& e) {
                error_ = e.what();
            }
        }
        return screen_.get();
    }
    const std::string& error() const { return error_; }
    void close() { screen_.reset(); }

  private:
    std::unique_ptr<Screen> screen_;
    std::string error_;
    bool tried_ = false;
};

OpenOnce<GameWindowOnScreen> game_window;
OpenOnce<BareWindow> bare_window;

void present(benchmark::State& state) {
    GameWindowOnScreen* screen = game_window.get();
    if (!screen) {
        state.SkipWithError(game_window.error().c_str());
        return;
    }
    app::frmMain& form = screen->form;
    const auto frames = alternating_frames(kPlayfieldWidth, kPlayfieldHeight);
    std::array<platform::DeviceContext, 2> sources;
    for (size_t f = 0; f < sources.size(); ++f) {
        sources[f].select(std::make_shared<platform::Bitmap>(frames[f]));
    }
    int i = 0;
    for (auto _ : state) {
        platform::bit_blt(form.picStage->hdc(), 0, 0, kPlayfieldWidth, kPlayfieldHeight,
                          sources[size_t(i++ & 1)], 0, 0, platform::Rop::SrcCopy);
        const Stopwatch watch;
        form.repaint();
        state.SetIterationTime(watch.seconds());
    }
}
BENCHMARK(present)->Name("present")->UseManualTime();

// The least an SDL program does to show a changed frame: its pixels into the
// window's surface, and the surface to the screen.
void present_floor(benchmark::State& state) {
    BareWindow* screen = bare_window.get();
    if (!screen) {
        state.SkipWithError(bare_window.error().c_str());
        return;
    }
    SDL_Surface& surface = screen->surface();
    const auto frames = alternating_frames(surface.w, surface.h);
    int i = 0;
    for (auto _ : state) {
        const Stopwatch watch;
        const platform::Bitmap& frame = frames[size_t(i++ & 1)];
        for (int y = 0; y < surface.h; ++y) {
            std::memcpy(static_cast<uint8_t*>(surface.pixels) + ptrdiff_t(y) * surface.pitch,
                        frame.row(y), size_t(surface.w) * 4);
        }
        SDL_UpdateWindowSurface(screen->window());
        state.SetIterationTime(watch.seconds());
    }
}
BENCHMARK(present_floor)->Name("present_floor")->UseManualTime();

} // namespace

void close_windows() {
    game_window.close();
    bare_window.close();
}

} // namespace bench
