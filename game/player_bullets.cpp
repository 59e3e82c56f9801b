// The player's three-way bursts: launch, three sub-steps a frame with hits on
// enemies, and the one-frame flash of a spent bullet.

#include "engine/sys/numbers.h"
#include "game/group_walk.h"
#include "game/sortie.h"

#include <optional>

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
    eneBoxes_.Take(*grpEne_);
    move_my_bullets();
}

// One sub-step against the enemies' boxes as taken, which no enemy has left since.
void Sortie::move_my_bullets() {
    walk_group(*grpMyBt_, [this](int16_t i, nox::clsNoxCharacter& b) {
        b.Move();
        if (b.PosCheck() == 1) {
            grpMyBt_->Remove(i);
            return;
        }
        hit_first_enemy(b);
    });
}

// A bullet hits at most one enemy per sub-step, the first intact one in slot order;
// bullets pass through explosions. The boxes find it without a rounding, up to the
// first intact enemy that has no box: from there the pairs are tested as always, so
// that its error is raised where it always was.
void Sortie::hit_first_enemy(nox::clsNoxCharacter& b) {
    int32_t slot = 0;
    if (const std::optional<nox::PileBox> box = b.pile_box()) {
        for (slot = eneBoxes_.FirstMeeting(*box, 0); slot < eneBoxes_.Slots();
             slot = eneBoxes_.FirstMeeting(*box, slot + 1)) {
            nox::clsNoxCharacter& e = grpEne_->Character(static_cast<int16_t>(slot));
            if (e.Hp() <= 0) {
                continue;
            }
            if (!eneBoxes_.Boxed(slot)) {
                break;
            }
            hit(b, e, static_cast<int16_t>(slot));
            return;
        }
    }
    scan_group(*grpEne_, slot, [&](int16_t s, nox::clsNoxCharacter& e) {
        if (e.Hp() <= 0 || b.PileCheckLt(e) == 1) {
            return false;
        }
        hit(b, e, s);
        return true;
    });
}

void Sortie::hit(nox::clsNoxCharacter& b, nox::clsNoxCharacter& e, int16_t enemy_slot) {
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
    eneBoxes_.Retake(*grpEne_, enemy_slot);
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
