#include "engine/draw/clsNoxPattern.h"

#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

namespace nox {

void clsNoxPattern::Field(std::shared_ptr<clsNoxField> vField) {
    if (!vField) {
        throw MissingObjectError();
    }
    // Both sizes are converted before anything is stored, so a field too large
    // for 16 bits leaves the pattern as it was.
    const int16_t width = to16(vField->Width());
    const int16_t height = to16(vField->Height());
    field_ = std::move(vField);
    field_width_ = width;
    field_height_ = height;
}

void clsNoxPattern::Width(int16_t vWidth) {
    width_ = vWidth < 1 ? int16_t{1} : vWidth;
}

void clsNoxPattern::Height(int16_t vHeight) {
    height_ = vHeight < 1 ? int16_t{1} : vHeight;
}

void clsNoxPattern::Paint(int16_t vLeft, int16_t vTop) {
    if (!field_ || !picture_) {
        throw MissingObjectError();
    }
    if (platform::DeviceContext* target = field_->Hdc()) {
        platform::bit_blt(*target, vLeft, vTop, width_, height_, picture_->hdc(), left_, top_,
                          platform::Rop::SrcCopy);
    }
}

void clsNoxPattern::PaintEx(int16_t vLeft, int16_t vTop) {
    if (!field_ || !picture_ || !mask_) {
        throw MissingObjectError();
    }
    if (platform::DeviceContext* target = field_->Hdc()) {
        // AND with the mask clears the sprite's pixels and keeps the background;
        // XOR with the colour copy (black outside the sprite) then fills them in.
        platform::masked_blt(*target, vLeft, vTop, width_, height_, mask_->hdc(), picture_->hdc(),
                             left_, top_);
    }
}

int16_t clsNoxPattern::PileCheck(int16_t vLeft, int16_t vTop, int16_t vTLeft, int16_t vTTop,
                                 int16_t vTWd, int16_t vTHt) const {
    if (PileCheckLt(vLeft, vTop, vTLeft, vTTop, vTWd, vTHt) == 1) {
        return 1;
    }
    // Every sum below has already been formed without overflow.
    if (add16(vLeft, width_) > add16(vTLeft, vTWd) || vLeft < vTLeft ||
        add16(vTop, height_) > add16(vTTop, vTHt) || vTop < vTTop) {
        return 2;
    }
    return 0;
}

int16_t clsNoxPattern::PileCheckPoint(int16_t vLeft, int16_t vTop, int16_t vTLeft,
                                      int16_t vTTop) const {
    const int16_t right = add16(vLeft, width_);
    const int16_t bottom = add16(vTop, height_);
    if (right < vTLeft || vLeft > vTLeft || bottom < vTTop || vTop > vTTop) {
        return 1;
    }
    return 0;
}

} // namespace nox
