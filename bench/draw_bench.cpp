// The per-frame drawing work: the field's clear and copy, masked sprites, stars.

#include "engine/draw/clsNoxField.h"
#include "engine/draw/clsNoxSprite.h"
#include "engine/draw/clsNoxStar.h"
#include "engine/sys/rnd.h"
#include "platform/form.h"

#include <benchmark/benchmark.h>

namespace {

struct Stage {
    std::shared_ptr<platform::PictureBox> pic =
        std::make_shared<platform::PictureBox>(0, 0, 512, 300);
    std::shared_ptr<platform::PictureBox> sheet =
        std::make_shared<platform::PictureBox>(0, 0, 320, 600);
    std::shared_ptr<platform::PictureBox> mask =
        std::make_shared<platform::PictureBox>(0, 0, 320, 600);
    std::shared_ptr<nox::clsNoxField> field = std::make_shared<nox::clsNoxField>();
    Stage() {
        field->Create(pic, 0, 0);
        sheet->set_picture(std::make_shared<platform::Bitmap>(320, 600));
        auto m = std::make_shared<platform::Bitmap>(320, 600);
        m->fill(0x00FFFFFF);
        mask->set_picture(m);
    }
};

void BM_FieldClearAndCopy(benchmark::State& state) {
    Stage s;
    for (auto _ : state) {
        s.field->ClsB();
        s.field->Paint();
    }
}
BENCHMARK(BM_FieldClearAndCopy);

// 120 masked draws of mixed sizes, as a busy frame has.
void BM_MaskedSprites120(benchmark::State& state) {
    Stage s;
    nox::clsNoxSprite sprite;
    sprite.Create(s.field, s.sheet, s.mask, 3);
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
BENCHMARK(BM_MaskedSprites120);

void BM_Starfield39(benchmark::State& state) {
    Stage s;
    nox::SeededRnd rnd(1, false);
    std::vector<nox::clsNoxStar> stars;
    stars.reserve(39);
    for (int i = 0; i < 39; ++i) {
        stars.emplace_back(rnd);
        stars.back().Init(s.field, 0);
    }
    for (auto _ : state) {
        for (auto& star : stars) {
            star.MovePaint();
        }
    }
}
BENCHMARK(BM_Starfield39);

} // namespace
