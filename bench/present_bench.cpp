// Putting a changed playfield on the screen: through the game window's real path
// (compose the window, compare, hand it to the backend), beside a bare SDL window
// surface update of the same size in the same run.

#include "timing.h"

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
#include <optional>
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

void present(benchmark::State& state) {
    std::optional<platform::SdlWindowSystem> opened;
    try {
        opened.emplace();
    } catch (const platform::DisplayError& e) {
        state.SkipWithError(e.what());
        return;
    }
    platform::SdlWindowSystem& windows = *opened;
    platform::FakeClock clock{1000, 1};
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{7, false};
    app::Services services{clock, keys, joystick, windows, media, rnd, &windows, game_sheet};
    app::frmMain form(services);
    windows.show(form); // the loading sequence runs here
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
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    {
        sdl::WindowPtr window(SDL_CreateWindow("present_floor", SDL_WINDOWPOS_CENTERED,
                                               SDL_WINDOWPOS_CENTERED, kPlayfieldWidth,
                                               kPlayfieldHeight, SDL_WINDOW_BORDERLESS));
        SDL_Surface* surface = window ? SDL_GetWindowSurface(window.get()) : nullptr;
        if (!surface || surface->format->BytesPerPixel != 4) {
            state.SkipWithError("no 32-bit window surface");
        } else {
            const auto frames = alternating_frames(surface->w, surface->h);
            int i = 0;
            for (auto _ : state) {
                const Stopwatch watch;
                const platform::Bitmap& frame = frames[size_t(i++ & 1)];
                for (int y = 0; y < surface->h; ++y) {
                    std::memcpy(static_cast<uint8_t*>(surface->pixels) +
                                    ptrdiff_t(y) * surface->pitch,
                                frame.row(y), size_t(surface->w) * 4);
                }
                SDL_UpdateWindowSurface(window.get());
                state.SetIterationTime(watch.seconds());
            }
        }
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
BENCHMARK(present_floor)->Name("present_floor")->UseManualTime();

} // namespace

} // namespace bench
