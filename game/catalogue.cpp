// The sprite catalogue: every sprite of the game, cut from the one sheet.

#include "game/sortie.h"

namespace game {

namespace {

struct Rect {
    int16_t left, top, width, height;
};

// The large pictures (0 to 2) and the three enemy craft (3 to 5).
constexpr std::array<Rect, 6> kEnemySheet = {{
    {0, 36, 100, 79},
    {0, 120, 100, 79},
    {0, 445, 195, 155},
    {0, 68, 32, 16},
    {32, 68, 32, 16},
    {64, 68, 32, 16},
}};

} // namespace

void Sortie::SpriteInit() {
    auto create = [this](nox::clsNoxSprite& sprite, int16_t patterns) {
        sprite.Create(fldStage_, pictures_.picCharData, pictures_.picCharMask, patterns);
    };
    create(*sprMy_, 5);
    for (int16_t i = 0; i <= 4; ++i) {
        sprMy_->SetPtnPic(i, static_cast<int16_t>(48 * i), 0, 48, 36);
    }
    create(*sprMyBt_, 1);
    sprMyBt_->SetPtnPic(0, 240, 0, 16, 16);
    create(*sprHit_, 1);
    sprHit_->SetPtnPic(0, 288, 0, 16, 24);
    create(*sprEneBt_, 1);
    sprEneBt_->SetPtnPic(0, 240, 16, 16, 16);
    for (size_t i = 0; i < sprEne_.size(); ++i) {
        const Rect& r = kEnemySheet[i];
        create(*sprEne_[i], 1);
        sprEne_[i]->SetPtnPic(0, r.left, r.top, r.width, r.height);
    }
    create(*sprBurst_, 5);
    for (int16_t i = 0; i <= 4; ++i) {
        sprBurst_->SetPtnPic(i, static_cast<int16_t>(72 + 28 * i), 36, 28, 28);
    }
}

} // namespace game
