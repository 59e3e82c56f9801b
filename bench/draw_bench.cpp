// The raster work under a frame: the floor every frame pays (one clear and one
// copy of the field), single masked draws of each sprite size, the starfield,
// and the sheet's preparation at loading.

#include "scene.h"
#include "timing.h"

#include "engine/draw/clsNoxField.h"
#include "engine/draw/clsNoxSprite.h"
#include "engine/draw/clsNoxStar.h"
#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/rnd.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int kFieldWidth = 512;
constexpr int kFieldHeight = 300;

// memset + memcpy of a 512 x 300 x 32-bit buffer: what no frame can go below.
void floor_memset_memcpy(benchmark::State& state) {
    std::vector<uint32_t> field(size_t{kFieldWidth} * kFieldHeight);
    std::vector<uint32_t> screen(field.size());
    for (auto _ : state) {
        std::memset(field.data(), 0, field.size() * 4);
        benchmark::ClobberMemory();
        std::memcpy(screen.data(), field.data(), field.size() * 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(floor_memset_memcpy)->Name("floor");

// The same clear and copy through the field's own ClsB and Paint.
void field_clear_copy(benchmark::State& state) {
    const game::SortiePictures p = prepared_pictures();
    nox::clsNoxField field;
    field.Create(p.picStage, 0, 0);
    for (auto _ : state) {
        field.ClsB();
        field.Paint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(field_clear_copy)->Name("field_clear_copy");

// The catalogue's sprite sizes, each by a rectangle of the game's sheet.
struct SheetRect {
    int16_t left, top, width, height;
};
constexpr SheetRect kCatalogueSizes[] = {
    {240, 0, 16, 16}, {288, 0, 16, 24}, {0, 68, 32, 16},    {72, 36, 28, 28},
    {0, 0, 48, 36},   {0, 36, 100, 79}, {0, 445, 195, 155},
};

// One masked draw a time: wholly inside the field, or over its top-left corner
// so that a quarter shows.
void masked_draw(benchmark::State& state, SheetRect r, bool clipped) {
    const game::SortiePictures p = prepared_pictures();
    auto field = std::make_shared<nox::clsNoxField>();
    field->Create(p.picStage, 0, 0);
    nox::clsNoxPattern pattern;
    pattern.Picture(p.picCharData);
    pattern.Mask(p.picCharMask);
    pattern.Field(field);
    pattern.Left(r.left);
    pattern.Top(r.top);
    pattern.Width(r.width);
    pattern.Height(r.height);
    const auto x = static_cast<int16_t>(clipped ? -r.width / 2 : (kFieldWidth - r.width) / 2);
    const auto y = static_cast<int16_t>(clipped ? -r.height / 2 : (kFieldHeight - r.height) / 2);
    for (auto _ : state) {
        pattern.PaintEx(x, y);
        benchmark::ClobberMemory();
    }
}

const bool kMaskedDrawsRegistered = [] {
    for (const SheetRect& r : kCatalogueSizes) {
        const std::string size = std::to_string(r.width) + "x" + std::to_string(r.height);
        for (bool clipped : {false, true}) {
            benchmark::RegisterBenchmark(
                ("masked_draw/" + size + (clipped ? "/clipped" : "/unclipped")).c_str(),
                [r, clipped](benchmark::State& s) { masked_draw(s, r, clipped); });
        }
    }
    return true;
}();

// 120 masked draws of the sizes a busy frame has, scattered over the field.
void masked_sprites_120(benchmark::State& state) {
    const game::SortiePictures p = prepared_pictures();
    auto field = std::make_shared<nox::clsNoxField>();
    field->Create(p.picStage, 0, 0);
    nox::clsNoxSprite sprite;
    sprite.Create(field, p.picCharData, p.picCharMask, 3);
    sprite.SetPtnPic(0, 0, 0, 48, 36);
    sprite.SetPtnPic(1, 0, 68, 32, 16);
    sprite.SetPtnPic(2, 240, 0, 16, 16);
    for (auto _ : state) {
        for (int16_t i = 0; i < 120; ++i) {
            sprite.PaintEx(static_cast<int16_t>(i % 3), static_cast<int16_t>((i * 37) % 500),
                           static_cast<int16_t>((i * 53) % 290));
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(masked_sprites_120)->Name("masked_sprites_120");

void starfield_39(benchmark::State& state) {
    const game::SortiePictures p = prepared_pictures();
    auto field = std::make_shared<nox::clsNoxField>();
    field->Create(p.picStage, 0, 0);
    field->ForeColor(platform::rgb(48, 176, 176));
    nox::SeededRnd rnd(1, false);
    std::vector<nox::clsNoxStar> stars;
    stars.reserve(39);
    for (int i = 0; i < 39; ++i) {
        stars.emplace_back(rnd);
        stars.back().Init(field, 0);
    }
    for (auto _ : state) {
        for (auto& star : stars) {
            star.MovePaint();
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(starfield_39)->Name("starfield_39");

// KeyToBlack on one copy of the game's sheet and MakeMask on another, as the
// loading sequence does; the fresh copies are made outside the timing.
void sheet_preparation(benchmark::State& state) {
    const std::shared_ptr<platform::Bitmap> sheet = load_game_sheet();
    std::vector<uint8_t> bits(size_t(sheet->bytes_per_row()) * size_t(sheet->height()));
    sheet->get_bits(bits);
    platform::Bitmap colour = *sheet, mask = *sheet;
    for (auto _ : state) {
        colour.set_bits(bits);
        mask.set_bits(bits);
        const Stopwatch watch;
        nox::KeyToBlack(colour);
        nox::MakeMask(mask);
        state.SetIterationTime(watch.seconds());
    }
}
BENCHMARK(sheet_preparation)->Name("sheet_preparation")->UseManualTime();

} // namespace

} // namespace bench
