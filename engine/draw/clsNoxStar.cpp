#include "engine/draw/clsNoxStar.h"

#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

namespace nox {

namespace {

// A whole number in 0 ... limit: the product is a 32-bit float, rounded halves to even.
int16_t scaled(Rnd& rnd, int16_t limit) {
    return round16(fmul(rnd.next(), static_cast<float>(limit)));
}

} // namespace

void clsNoxStar::Stage(std::shared_ptr<clsNoxField> vStage) {
    if (!vStage) {
        throw MissingObjectError();
    }
    const int16_t width = to16(vStage->Width());
    const int16_t height = to16(vStage->Height());
    stage_ = std::move(vStage);
    field_width_ = width;
    field_height_ = height;
}

void clsNoxStar::pX(int16_t vPX) {
    px_ = vPX;
    length_ = add16(abs16(px_), abs16(py_));
}

void clsNoxStar::pY(int16_t vPY) {
    py_ = vPY;
    length_ = add16(abs16(px_), abs16(py_));
}

int16_t clsNoxStar::Init(std::shared_ptr<clsNoxField> vStage, int16_t vType) {
    Stage(std::move(vStage));
    if (vType == 0) {
        x_ = scaled(*rnd_, field_width_);
        y_ = scaled(*rnd_, field_height_);
        px_ = mul16(-3, add16(scaled(*rnd_, 3), 1));
        py_ = 0;
        length_ = abs16(px_);
    }
    type_ = vType;
    return kTrue;
}

void clsNoxStar::PaintEx() {
    if (!stage_) {
        throw MissingObjectError();
    }
    stage_->LineEx(x_, y_, add16(x_, length_), y_);
}

void clsNoxStar::Move() {
    if (type_ == 0) {
        drift();
    }
}

void clsNoxStar::MovePaint() {
    drift();
    PaintEx();
}

void clsNoxStar::drift() {
    x_ = add16(x_, px_);
    if (x_ < 0) {
        // Just beyond the last column: off the field this frame, at the edge the next.
        x_ = field_width_;
        y_ = scaled(*rnd_, field_height_);
    }
}

} // namespace nox
