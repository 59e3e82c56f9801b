// The player's three-way bursts: launch, three sub-steps a frame with hits on
// enemies, and the one-frame flash of a spent bullet.

#include "engine/sys/numbers.h"
#include "game/group_walk.h"
#include "game/sortie.h"

namespace game {

namespace {

constexpr int16_t kBulletCap = 15;
constexpr int16_t kExplosionFrames = 5;

} // namespace

void Sortie::MyShot() {
    if (grpMyBt_->ItemCount() >= kBulletCap) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        const float left = chrMy_->Left();
        const float top = chrMy_->Top();
        auto bullet = std::make_shared<nox::clsNoxCharacter>();
        bullet->Create(sprMyBt_, nox::round16(nox::fadd(left, 48.0f)),
                       nox::round16(nox::fadd(top, 10.0f)), 1, 6);
        bullet->LeftTrans(12);
        bullet->TopTrans(static_cast<float>(1 - i));
        grpMyBt_->Add(bullet);
    }
}

void Sortie::MyBtMove() {
    walk_group(*grpMyBt_, [this](int16_t i, nox::clsNoxCharacter& b) {
        b.Move();
        if (b.PosCheck() == 1) {
            grpMyBt_->Remove(i);
            return;
        }
        // A bullet hits at most one enemy per sub-step, the first intact one in slot order.
        walk_group(*grpEne_, [&](int16_t, nox::clsNoxCharacter& e) {
            if (e.Hp() <= 0 || b.PileCheckLt(e) == 1) {
                return false; // bullets pass through explosions
            }
            const int16_t d = b.Hp();
            b.Hp(nox::sub16(b.Hp(), e.Hp()));
            if (b.Hp() <= 0) {
                b.ChangeSprite(sprHit_, 0);
                b.Hp(0);
            }
            e.Hp(nox::sub16(e.Hp(), d));
            if (e.Hp() <= 0) {
                e.ChangeSprite(sprBurst_, 1);
                e.Num(kExplosionFrames);
            }
            return true;
        });
    });
}

void Sortie::MyBtPaint() {
    walk_group(*grpMyBt_, [this](int16_t i, nox::clsNoxCharacter& b) {
        if (b.PosCheck() == 1) {
            return; // the next MyBtMove removes it
        }
        b.AutoAnime(0);
        b.PaintEx();
        if (b.Hp() == 0) {
            grpMyBt_->Remove(i);
        }
    });
}

} // namespace game
