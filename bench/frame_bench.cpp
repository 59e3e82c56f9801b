// A whole frame at the most the rules allow, its masked scene alone, and the same
// scene drawn the way a typical SDL game would: colour-keyed RLE blits.

#include "platform/sdl/handles.h"
#include "scene.h"
#include "timing.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace bench {

namespace {

// Clear, the game's steps, copy, frame count: Sortie::Frame on a refilled scene.
void frame_max_load(benchmark::State& state) {
    FullLoadScene scene;
    for (auto _ : state) {
        scene.refill();
        const Stopwatch watch;
        scene.sortie().Frame();
        state.SetIterationTime(watch.seconds());
    }
}
BENCHMARK(frame_max_load)->Name("frame_max_load")->UseManualTime();

// What frame_max_load draws, without the rules: clear, the scene's masked draws, copy.
void draw_masked_scene(nox::clsNoxField& field, const std::vector<SceneDraw>& draws) {
    field.ClsB();
    for (const SceneDraw& d : draws) {
        d.pattern->PaintEx(d.x, d.y);
    }
    field.Paint();
}

void masked_scene(benchmark::State& state) {
    FullLoadScene scene;
    const std::vector<SceneDraw> draws = scene.draws();
    nox::clsNoxField& field = *scene.sortie().fldStage();
    for (auto _ : state) {
        draw_masked_scene(field, draws);
        benchmark::ClobberMemory();
    }
    state.counters["draws"] = static_cast<double>(draws.size());
}
BENCHMARK(masked_scene)->Name("masked_scene");

using Surface = sdl::SurfacePtr;

Surface surface_of(int w, int h) {
    return Surface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888));
}

bool same_pixels(const SDL_Surface& s, const platform::Bitmap& b) {
    for (int y = 0; y < s.h; ++y) {
        const auto* row = static_cast<const uint8_t*>(s.pixels) + ptrdiff_t(y) * s.pitch;
        if (std::memcmp(row, b.row(y), size_t(s.w) * 4) != 0) {
            return false;
        }
    }
    return true;
}

// The unprepared sheet, keyed on its top-left pixel (and RLE-encoded by SDL when
// `rle`), blitted onto a field surface that is cleared and then copied whole to a
// screen surface.
void sdl_colorkey_scene(benchmark::State& state, bool rle) {
    FullLoadScene scene;
    const std::vector<SceneDraw> draws = scene.draws();
    const std::shared_ptr<platform::Bitmap> sheet = load_game_sheet();
    Surface keyed = surface_of(sheet->width(), sheet->height());
    Surface field = surface_of(512, 300), screen = surface_of(512, 300);
    if (!keyed || !field || !screen) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    for (int y = 0; y < sheet->height(); ++y) {
        std::memcpy(static_cast<uint8_t*>(keyed->pixels) + ptrdiff_t(y) * keyed->pitch,
                    sheet->row(y), size_t(sheet->width()) * 4);
    }
    SDL_SetColorKey(keyed.get(), SDL_TRUE, sheet->pixel(0, 0));
    SDL_SetSurfaceRLE(keyed.get(), rle ? 1 : 0);
    auto draw = [&] {
        SDL_FillRect(field.get(), nullptr, 0);
        for (const SceneDraw& d : draws) {
            SDL_Rect src{d.pattern->Left(), d.pattern->Top(), d.pattern->Width(),
                         d.pattern->Height()};
            SDL_Rect dst{d.x, d.y, 0, 0};
            SDL_BlitSurface(keyed.get(), &src, field.get(), &dst);
        }
        SDL_BlitSurface(field.get(), nullptr, screen.get(), nullptr);
    };
    // Both ways must draw the very same picture, or the comparison means nothing.
    draw();
    draw_masked_scene(*scene.sortie().fldStage(), draws);
    if (rle && !SDL_HasSurfaceRLE(keyed.get())) {
        state.SkipWithError("SDL did not RLE-encode the sheet");
        return;
    }
    if (!same_pixels(*screen, scene.sortie().picStage()->screen())) {
        state.SkipWithError("the colour-keyed scene differs from the masked one");
        return;
    }
    for (auto _ : state) {
        draw();
        benchmark::ClobberMemory();
    }
}
void frame_sdl_colorkey(benchmark::State& state) {
    sdl_colorkey_scene(state, true);
}
BENCHMARK(frame_sdl_colorkey)->Name("frame_sdl_colorkey");

// Without RLE: SDL's per-pixel key test, which a sheet of many sprites may favour.
void frame_sdl_colorkey_plain(benchmark::State& state) {
    sdl_colorkey_scene(state, false);
}
BENCHMARK(frame_sdl_colorkey_plain)->Name("frame_sdl_colorkey_plain");

} // namespace

} // namespace bench
