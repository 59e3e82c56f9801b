// The sprite catalogue: every sprite of the game, cut from the one sheet.

#include "game/sortie.h"

#include <algorithm>
#include <span>

namespace game {

namespace {

struct Rect {
    int16_t left, top, width, height;
};

// `count` patterns of one size side by side in a row of the sheet.
template <size_t count>
constexpr std::array<Rect, count> strip(int16_t left, int16_t top, int16_t width, int16_t height) {
    std::array<Rect, count> patterns{};
    for (size_t i = 0; i < count; ++i) {
        patterns[i] = {static_cast<int16_t>(left + width * static_cast<int16_t>(i)), top, width,
                       height};
    }
    return patterns;
}

constexpr std::array<Rect, 5> kMy = strip<5>(0, 0, 48, 36);
constexpr std::array<Rect, 1> kMyBt = {{{240, 0, 16, 16}}};
constexpr std::array<Rect, 1> kHit = {{{288, 0, 16, 24}}};
constexpr std::array<Rect, 1> kEneBt = {{{240, 16, 16, 16}}};
// The large pictures (0 to 2) and the three enemy craft (3 to 5), one pattern each.
constexpr std::array<Rect, 6> kEnemySheet = {{
    {0, 36, 100, 79},
    {0, 120, 100, 79},
    {0, 445, 195, 155},
    {0, 68, 32, 16},
    {32, 68, 32, 16},
    {64, 68, 32, 16},
}};
constexpr std::array<Rect, 5> kBurst = strip<5>(72, 36, 28, 28);

constexpr std::array<std::span<const Rect>, 6> kAllRects = {kMy,    kMyBt,       kHit,
                                                            kEneBt, kEnemySheet, kBurst};

} // namespace

SheetExtent sheet_extent() {
    SheetExtent extent{0, 0};
    for (std::span<const Rect> rects : kAllRects) {
        for (const Rect& r : rects) {
            extent.width = std::max(extent.width, static_cast<int16_t>(r.left + r.width));
            extent.height = std::max(extent.height, static_cast<int16_t>(r.top + r.height));
        }
    }
    return extent;
}

void Sortie::SpriteInit() {
    auto create = [this](nox::clsNoxSprite& sprite, std::span<const Rect> patterns) {
        sprite.Create(fldStage_, pictures_.picCharData, pictures_.picCharMask,
                      static_cast<int16_t>(patterns.size()));
        for (size_t i = 0; i < patterns.size(); ++i) {
            const Rect& r = patterns[i];
            sprite.SetPtnPic(static_cast<int16_t>(i), r.left, r.top, r.width, r.height);
        }
    };
    create(*sprMy_, kMy);
    create(*sprMyBt_, kMyBt);
    create(*sprHit_, kHit);
    create(*sprEneBt_, kEneBt);
    for (size_t i = 0; i < sprEne_.size(); ++i) {
        create(*sprEne_[i], std::span<const Rect>(&kEnemySheet[i], 1));
    }
    create(*sprBurst_, kBurst);
}

} // namespace game
