#pragma once
// One moving object of the game (the player's aircraft, a bullet, an enemy, an
// explosion): drawn with one pattern of a shared sprite at a float position,
// moved by a velocity and an acceleration or by a shared motion list, animated
// by stepping its pattern number, and tested through its current pattern.

#include "engine/actor/clsNoxMQL.h"
#include "engine/draw/clsNoxSprite.h"
#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace nox {

// A rectangle as PileCheckLt compares two: the rounded position and the far edges,
// position plus size. Touching edges meet.
struct PileBox {
    int16_t left, top, right, bottom;
};

inline bool meets(const PileBox& a, const PileBox& b) {
    return a.right >= b.left && a.left <= b.right && a.bottom >= b.top && a.top <= b.bottom;
}

class clsNoxCharacter {
  public:
    clsNoxCharacter() = default;
    ~clsNoxCharacter();
    clsNoxCharacter(const clsNoxCharacter&) = delete;
    clsNoxCharacter& operator=(const clsNoxCharacter&) = delete;

    int16_t PtNo() const { return pt_no_; }
    // Ignored (silently) outside 0..PtNoMax of the sprite.
    void PtNo(int16_t vPtNo);
    // PtNo, AniSp and AniCt stay as they are.
    void Sprite(std::shared_ptr<clsNoxSprite> vSprite) { sprite_ = std::move(vSprite); }
    const std::shared_ptr<clsNoxSprite>& Sprite() const { return sprite_; }
    // Attaches a list and applies its step 0 at once. A null list is stored, then
    // raises MissingObjectError, having no step 0 to apply.
    void MQL(std::shared_ptr<clsNoxMQL> vMQL);
    void LeftTrans(float vLeftTrans) { left_trans_ = vLeftTrans; }
    void TopTrans(float vTopTrans) { top_trans_ = vTopTrans; }
    void LeftAccel(float vLeftAccel) { left_accel_ = vLeftAccel; }
    void TopAccel(float vTopAccel) { top_accel_ = vTopAccel; }
    int16_t Hp() const { return hp_; }
    void Hp(int16_t vHp) { hp_ = vHp; }
    int32_t Num() const { return num_; }
    void Num(int32_t vNum) { num_ = vNum; }
    std::string Tag() const { return tag_; }
    void Tag(std::string vTag) { tag_ = std::move(vTag); }
    float Left() const { return left_; }
    void Left(float vLeft) { left_ = vLeft; }
    float Top() const { return top_; }
    void Top(float vTop) { top_ = vTop; }
    int16_t Width() const;
    int16_t Height() const;

    // Read-only views of the motion and animation state, for trace output.
    float LeftTrans() const { return left_trans_; }
    float TopTrans() const { return top_trans_; }
    float LeftAccel() const { return left_accel_; }
    float TopAccel() const { return top_accel_; }
    int16_t MqlSeq() const { return mql_seq_; }
    int16_t MqlCt() const { return mql_ct_; }
    int16_t AniSp() const { return ani_sp_; }
    int16_t AniCt() const { return ani_ct_; }

    // Velocity, acceleration, motion-list progress, Num and Tag are kept.
    void Create(std::shared_ptr<clsNoxSprite> vSprite, int16_t vLeft, int16_t vTop, int16_t vHp,
                int16_t vAniSp);
    // A new look that restarts the animation; position and motion carry on.
    void ChangeSprite(std::shared_ptr<clsNoxSprite> vSprite, int16_t vAniSp);
    void Paint();
    void PaintEx();
    // One frame: the position moves by the old velocity, then the velocity by the acceleration.
    void Move();
    void MoveMQL();
    // 0 wholly inside the field, 1 wholly outside, 2 partly outside.
    int16_t PosCheck() const;
    // The same test for a trial position; the character stays where it is.
    int16_t VerPosCheck(int16_t vLeft, int16_t vTop) const;
    // 1 apart, 2 overlapping, 0 wholly within vTChr.
    int16_t PileCheck(const clsNoxCharacter& vTChr) const;
    // 1 apart, 2 overlapping.
    int16_t PileCheckLt(const clsNoxCharacter& vTChr) const;
    // The rectangle PileCheckLt compares, when forming it raises nothing (every rounding
    // and sum fits, the pattern exists): then PileCheckLt between two characters with
    // boxes raises nothing and answers 2 exactly where the boxes meet.
    std::optional<PileBox> pile_box() const noexcept;
    // 0 the point lies on the character, 1 it does not.
    int16_t PileCheckPoint(int16_t vLeft, int16_t vTop) const;
    // The truth results below are kTrue when the end of the pattern range was met.
    // vAniType: 0 SetNextPt, 1 SetBeforePt, 2 SetNextPtLp, 3 SetBeforePtLp, else none.
    int16_t AutoAnime(int16_t vAniType);
    int16_t SetNextPt();
    int16_t SetBeforePt();
    int16_t SetNextPtLp();
    int16_t SetBeforePtLp();

  private:
    bool StepMQL();
    clsNoxSprite& sprite() const;
    const clsNoxMQL& mql() const;
    clsNoxPattern& pattern() const;
    int16_t left16() const;
    int16_t top16() const;
    struct Rect16 {
        int16_t left, top, width, height;
    };
    static Rect16 rect_of(const clsNoxCharacter& vTChr);

    std::shared_ptr<clsNoxSprite> sprite_;
    std::shared_ptr<clsNoxMQL> mql_;
    int16_t pt_no_ = 0;
    int16_t ani_sp_ = 0;
    int16_t ani_ct_ = 0;
    float left_ = 0.0f;
    float top_ = 0.0f;
    float left_trans_ = 0.0f;
    float top_trans_ = 0.0f;
    float left_accel_ = 0.0f;
    float top_accel_ = 0.0f;
    int16_t hp_ = 0;
    int16_t mql_seq_ = 0;
    int16_t mql_ct_ = 0;
    int32_t num_ = 0;
    std::string tag_;
};

// Inline, with the helpers below: a frame tests every character against the field
// and every pair of bullet and enemy.
inline int16_t clsNoxCharacter::PileCheckLt(const clsNoxCharacter& vTChr) const {
    const Rect16 t = rect_of(vTChr);
    return pattern().PileCheckLt(left16(), top16(), t.left, t.top, t.width, t.height);
}

inline int16_t clsNoxCharacter::PosCheck() const {
    return pattern().PosCheck(left16(), top16());
}

inline std::optional<PileBox> clsNoxCharacter::pile_box() const noexcept {
    const clsNoxPattern* p = sprite_ ? sprite_->find_pattern(pt_no_) : nullptr;
    const std::optional<int16_t> left = round_or_nothing<int16_t>(left_);
    const std::optional<int16_t> top = round_or_nothing<int16_t>(top_);
    if (!p || !left || !top) {
        return std::nullopt;
    }
    const int32_t right = int32_t{*left} + p->Width();
    const int32_t bottom = int32_t{*top} + p->Height();
    if (!fits<int16_t>(right) || !fits<int16_t>(bottom)) {
        return std::nullopt;
    }
    return PileBox{*left, *top, static_cast<int16_t>(right), static_cast<int16_t>(bottom)};
}

inline int16_t clsNoxCharacter::Width() const {
    return pattern().Width();
}
inline int16_t clsNoxCharacter::Height() const {
    return pattern().Height();
}

inline clsNoxSprite& clsNoxCharacter::sprite() const {
    if (!sprite_) {
        throw MissingObjectError();
    }
    return *sprite_;
}

inline clsNoxPattern& clsNoxCharacter::pattern() const {
    return sprite().Pattern(pt_no_);
}

// Positions reach the patterns as whole pixels, halves rounded to even.
inline int16_t clsNoxCharacter::left16() const {
    return round16(left_);
}
inline int16_t clsNoxCharacter::top16() const {
    return round16(top_);
}

inline clsNoxCharacter::Rect16 clsNoxCharacter::rect_of(const clsNoxCharacter& vTChr) {
    return {vTChr.left16(), vTChr.top16(), vTChr.Width(), vTChr.Height()};
}

} // namespace nox
