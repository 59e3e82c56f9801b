// Enemy bullets. Enemies never fire, so the group stays empty and both steps
// find nothing to do; EneShot is the launch step that no step performs.

#include "app/frmMain.h"
#include "engine/sys/numbers.h"
#include "game/group_walk.h"

namespace app {

namespace {
constexpr int16_t kEnemyBulletCap = 200;
}

void frmMain::EneBtMove() {
    walk_group(*grpEneBt, [this](int16_t i, nox::clsNoxCharacter& b) {
        b.Move();
        if (b.PosCheck() == 1) {
            grpEneBt->Remove(i);
            return;
        }
        // The hit point lies 2 pixels right of and 4 below the aircraft's bottom-right corner.
        const int16_t px = nox::round16(nox::fadd(chrMy->Left(), 50.0f));
        const int16_t py = nox::round16(nox::fadd(chrMy->Top(), 40.0f));
        if (b.PileCheckPoint(px, py) != 1) {
            grpEneBt->Remove(i);
        }
    });
}

void frmMain::EneBtPaint() {
    walk_group(*grpEneBt, [](int16_t, nox::clsNoxCharacter& b) {
        if (b.PosCheck() != 1) {
            b.PaintEx();
        }
    });
}

void frmMain::EneShot(int16_t vLeft, int16_t vTop) {
    if (grpEneBt->ItemCount() >= kEnemyBulletCap) {
        return;
    }
    auto bullet = std::make_shared<nox::clsNoxCharacter>();
    bullet->Create(sprEneBt, vLeft, vTop, 1, 0);
    bullet->LeftTrans(-4);
    const int16_t k = nox::round16(nox::fmul(services_.rnd.next(), 4.0f));
    bullet->TopTrans(static_cast<float>(2 - k));
    grpEneBt->Add(bullet);
}

} // namespace app
