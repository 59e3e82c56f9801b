#include "engine/actor/clsNoxCharacter.h"

#include "engine/sys/numbers.h"

namespace nox {

clsNoxCharacter::~clsNoxCharacter() {
    // The sprite goes before the motion list.
    sprite_.reset();
    mql_.reset();
}

void clsNoxCharacter::PtNo(int16_t vPtNo) {
    if (vPtNo >= 0 && vPtNo <= sprite().PtNoMax()) {
        pt_no_ = vPtNo;
    }
}

void clsNoxCharacter::MQL(std::shared_ptr<clsNoxMQL> vMQL) {
    mql_ = std::move(vMQL);
    const clsNoxMQL& list = mql();
    // Step 0 is applied only here: a set inertia flag adds its values to the
    // velocity once instead of making them the acceleration.
    if (list.IneFlag(0) == 0) {
        left_trans_ = list.vX(0);
        top_trans_ = list.vY(0);
    } else {
        left_trans_ = fadd(left_trans_, list.vX(0));
        top_trans_ = fadd(top_trans_, list.vY(0));
    }
    mql_ct_ = to16(list.MoveCt(0));
}

void clsNoxCharacter::Create(std::shared_ptr<clsNoxSprite> vSprite, int16_t vLeft, int16_t vTop,
                             int16_t vHp, int16_t vAniSp) {
    Sprite(std::move(vSprite));
    left_ = vLeft;
    top_ = vTop;
    hp_ = vHp;
    ani_sp_ = vAniSp;
    ani_ct_ = 0;
    pt_no_ = 0;
}

void clsNoxCharacter::ChangeSprite(std::shared_ptr<clsNoxSprite> vSprite, int16_t vAniSp) {
    Sprite(std::move(vSprite));
    ani_sp_ = vAniSp;
    ani_ct_ = 0;
    pt_no_ = 0;
}

void clsNoxCharacter::Paint() {
    pattern().Paint(left16(), top16());
}
void clsNoxCharacter::PaintEx() {
    pattern().PaintEx(left16(), top16());
}

void clsNoxCharacter::Move() {
    // Each sum is stored before the next is tried, so a failing one leaves the
    // earlier ones done.
    left_ = fadd(left_, left_trans_);
    top_ = fadd(top_, top_trans_);
    left_trans_ = fadd(left_trans_, left_accel_);
    top_trans_ = fadd(top_trans_, top_accel_);
}

void clsNoxCharacter::MoveMQL() {
    if (StepMQL()) {
        const clsNoxMQL& list = mql();
        const int16_t s = mql_seq_;
        if (list.IneFlag(s) == 0) {
            left_trans_ = list.vX(s);
            top_trans_ = list.vY(s);
            left_accel_ = 0.0f;
            top_accel_ = 0.0f;
        } else {
            left_accel_ = list.vX(s);
            top_accel_ = list.vY(s);
        }
    }
    Move();
}

bool clsNoxCharacter::StepMQL() {
    mql_ct_ = sub16(mql_ct_, 1);
    if (mql_ct_ > 0) {
        return false;
    }
    mql_seq_ = add16(mql_seq_, 1);
    // The list repeats from its first step for as long as the character lives.
    if (mql_seq_ > mql().MqlMax() - 1) {
        mql_seq_ = 0;
    }
    mql_ct_ = to16(mql().MoveCt(mql_seq_));
    return true;
}

int16_t clsNoxCharacter::VerPosCheck(int16_t vLeft, int16_t vTop) const {
    return pattern().PosCheck(vLeft, vTop);
}

int16_t clsNoxCharacter::PileCheck(const clsNoxCharacter& vTChr) const {
    const Rect16 t = rect_of(vTChr);
    return pattern().PileCheck(left16(), top16(), t.left, t.top, t.width, t.height);
}

int16_t clsNoxCharacter::PileCheckPoint(int16_t vLeft, int16_t vTop) const {
    return pattern().PileCheckPoint(left16(), top16(), vLeft, vTop);
}

int16_t clsNoxCharacter::AutoAnime(int16_t vAniType) {
    ani_ct_ = add16(ani_ct_, 1);
    if (ani_ct_ < ani_sp_) {
        return kFalse;
    }
    ani_ct_ = 0;
    switch (vAniType) {
    case 0:
        return SetNextPt();
    case 1:
        return SetBeforePt();
    case 2:
        return SetNextPtLp();
    case 3:
        return SetBeforePtLp();
    default:
        return kFalse;
    }
}

int16_t clsNoxCharacter::SetNextPt() {
    if (pt_no_ < sprite().PtNoMax()) {
        pt_no_ = add16(pt_no_, 1);
        return kFalse;
    }
    return kTrue;
}

int16_t clsNoxCharacter::SetBeforePt() {
    sprite(); // stepping needs a sprite even where only 0 bounds the range
    if (pt_no_ > 0) {
        pt_no_ = sub16(pt_no_, 1);
        return kFalse;
    }
    return kTrue;
}

int16_t clsNoxCharacter::SetNextPtLp() {
    const int16_t pt_no_max = sprite().PtNoMax();
    const int16_t next = add16(pt_no_, 1);
    if (next > pt_no_max) {
        pt_no_ = 0;
        return kTrue;
    }
    pt_no_ = next;
    return kFalse;
}

int16_t clsNoxCharacter::SetBeforePtLp() {
    const int16_t pt_no_max = sprite().PtNoMax();
    const int16_t before = sub16(pt_no_, 1);
    if (before < 0) {
        pt_no_ = pt_no_max;
        return kTrue;
    }
    pt_no_ = before;
    return kFalse;
}

const clsNoxMQL& clsNoxCharacter::mql() const {
    if (!mql_) {
        throw MissingObjectError();
    }
    return *mql_;
}

} // namespace nox
