// Enemy bullets. Enemies never fire, so the group stays empty and both steps
// find nothing to do; EneShot is the launch step that no step performs.

#include "engine/sys/numbers.h"
#include "game/group_walk.h"
#include "game/sortie.h"

namespace game {

namespace {
constexpr int16_t kEnemyBulletCap = 200;
}

void Sortie::EneBtMove() {
    walk_group(*grpEneBt_, [this](int16_t i, nox::clsNoxCharacter& b) {
        b.Move();
        if (b.PosCheck() == 1) {
            grpEneBt_->Remove(i);
            return;
        }
        // The hit point lies 2 pixels right of and 4 below the aircraft's bottom-right corner.
        const int16_t px = nox::round16(nox::fadd(chrMy_->Left(), 50.0f));
        const int16_t py = nox::round16(nox::fadd(chrMy_->Top(), 40.0f));
        if (b.PileCheckPoint(px, py) != 1) {
            grpEneBt_->Remove(i);
        }
    });
}

void Sortie::EneBtPaint() {
    scan_group(*grpEneBt_, 0, [](int16_t, nox::clsNoxCharacter& b) {
        if (b.PosCheck() != 1) {
            b.PaintEx();
        }
    });
}

void Sortie::EneShot(int16_t vLeft, int16_t vTop) {
    if (grpEneBt_->ItemCount() >= kEnemyBulletCap) {
        return;
    }
    auto bullet = std::make_shared<nox::clsNoxCharacter>();
    bullet->Create(sprEneBt_, vLeft, vTop, 1, 0);
    bullet->LeftTrans(-4);
    const int16_t k = nox::round16(nox::fmul(rnd_.next(), 4.0f));
    bullet->TopTrans(static_cast<float>(2 - k));
    grpEneBt_->Add(bullet);
}

} // namespace game
