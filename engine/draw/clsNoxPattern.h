#pragma once
// One rectangle of the sprite sheet with what it needs to draw itself (the field,
// the colour sheet and the mask sheet) and the geometric tests used for
// clipping and collisions. Touching edges count as meeting.

#include "engine/draw/clsNoxField.h"
#include "engine/sys/numbers.h"
#include "platform/legacy/picture_box.h"

#include <cstdint>
#include <memory>

namespace nox {

class clsNoxPattern {
  public:
    const std::shared_ptr<clsNoxField>& Field() const { return field_; }
    void Field(std::shared_ptr<clsNoxField> vField);
    const std::shared_ptr<platform::PictureBox>& Picture() const { return picture_; }
    void Picture(std::shared_ptr<platform::PictureBox> vPicture) { picture_ = std::move(vPicture); }
    const std::shared_ptr<platform::PictureBox>& Mask() const { return mask_; }
    void Mask(std::shared_ptr<platform::PictureBox> vMask) { mask_ = std::move(vMask); }

    int16_t Left() const { return left_; }
    void Left(int16_t vLeft) { left_ = vLeft; }
    int16_t Top() const { return top_; }
    void Top(int16_t vTop) { top_ = vTop; }
    int16_t Width() const { return width_; }
    void Width(int16_t vWidth); // below 1 is stored as 1
    int16_t Height() const { return height_; }
    void Height(int16_t vHeight);

    void Paint(int16_t vLeft, int16_t vTop);
    void PaintEx(int16_t vLeft, int16_t vTop);
    // 0 wholly inside the field, 1 wholly outside, 2 partly outside. Inline: every
    // character is tested every frame.
    int16_t PosCheck(int16_t vLeft, int16_t vTop) const {
        const int16_t right = add16(vLeft, width_);
        const int16_t bottom = add16(vTop, height_);
        if (right < 0 || vLeft > field_width_ || bottom < 0 || vTop > field_height_) {
            return 1;
        }
        if (right > field_width_ || vLeft < 0 || bottom > field_height_ || vTop < 0) {
            return 2;
        }
        return 0;
    }
    // 1 apart, 2 overlapping, 0 wholly within the target.
    int16_t PileCheck(int16_t vLeft, int16_t vTop, int16_t vTLeft, int16_t vTTop, int16_t vTWd,
                      int16_t vTHt) const;
    // 1 apart, 2 overlapping. Inline: it runs for every pair of bullet and enemy.
    int16_t PileCheckLt(int16_t vLeft, int16_t vTop, int16_t vTLeft, int16_t vTTop, int16_t vTWd,
                        int16_t vTHt) const {
        // One axis after the other: both sums of an axis are formed (and may
        // overflow) before its comparison; a pair already apart horizontally never
        // forms the vertical ones.
        const int16_t right = add16(vLeft, width_);
        const int16_t target_right = add16(vTLeft, vTWd);
        if (right < vTLeft || vLeft > target_right) {
            return 1;
        }
        const int16_t bottom = add16(vTop, height_);
        const int16_t target_bottom = add16(vTTop, vTHt);
        if (bottom < vTTop || vTop > target_bottom) {
            return 1;
        }
        return 2;
    }
    // 0 the point lies on the rectangle, 1 it does not.
    int16_t PileCheckPoint(int16_t vLeft, int16_t vTop, int16_t vTLeft, int16_t vTTop) const;

  private:
    std::shared_ptr<clsNoxField> field_;
    std::shared_ptr<platform::PictureBox> picture_;
    std::shared_ptr<platform::PictureBox> mask_;
    int16_t field_width_ = 0;
    int16_t field_height_ = 0;
    int16_t left_ = 0;
    int16_t top_ = 0;
    int16_t width_ = 0;
    int16_t height_ = 0;
};

} // namespace nox
