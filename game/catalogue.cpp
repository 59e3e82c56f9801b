// The sprite catalogue: every sprite of the game, cut from the one sheet.

#include "app/frmMain.h"

namespace app {

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

void frmMain::SpriteInit() {
    sprMy->Create(fldStage, picCharData, picCharMask, 5);
    for (int16_t i = 0; i <= 4; ++i) {
        sprMy->SetPtnPic(i, static_cast<int16_t>(48 * i), 0, 48, 36);
    }
    sprMyBt->Create(fldStage, picCharData, picCharMask, 1);
    sprMyBt->SetPtnPic(0, 240, 0, 16, 16);
    sprHit->Create(fldStage, picCharData, picCharMask, 1);
    sprHit->SetPtnPic(0, 288, 0, 16, 24);
    sprEneBt->Create(fldStage, picCharData, picCharMask, 1);
    sprEneBt->SetPtnPic(0, 240, 16, 16, 16);
    for (size_t i = 0; i < sprEne.size(); ++i) {
        const Rect& r = kEnemySheet[i];
        sprEne[i]->Create(fldStage, picCharData, picCharMask, 1);
        sprEne[i]->SetPtnPic(0, r.left, r.top, r.width, r.height);
    }
    sprBurst->Create(fldStage, picCharData, picCharMask, 5);
    for (int16_t i = 0; i <= 4; ++i) {
        sprBurst->SetPtnPic(i, static_cast<int16_t>(72 + 28 * i), 36, 28, 28);
    }
}

} // namespace app
