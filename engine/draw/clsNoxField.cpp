#include "engine/draw/clsNoxField.h"

#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

#include <new>

namespace nox {

namespace {

// Beyond this the platform refuses a compatible bitmap, as a real display
// driver would; the field then keeps the context's stock bitmap.
constexpr int64_t kMaxSurfacePixels = int64_t{1} << 26;

std::shared_ptr<platform::Bitmap> compatible_bitmap(int32_t width, int32_t height) {
    if (int64_t{width} * height > kMaxSurfacePixels) {
        return nullptr;
    }
    try {
        return std::make_shared<platform::Bitmap>(width, height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

clsNoxField::~clsNoxField() {
    Delete();
}

void clsNoxField::ForeColor(platform::ColorRef vFCr) {
    if (hdc_) {
        hdc_->select_pen(vFCr);
    }
}

void clsNoxField::Create(std::shared_ptr<platform::PictureBox> vPicStage, int32_t vPlusWd,
                         int32_t vPlusHt) {
    if (!vPicStage) {
        throw MissingObjectError();
    }
    const int32_t width = round32(vPicStage->scale_width() + vPlusWd);
    const int32_t height = round32(vPicStage->scale_height() + vPlusHt);
    make_surface(std::move(vPicStage), width, height);
}

void clsNoxField::CreateEx(std::shared_ptr<platform::PictureBox> vPicStage, int32_t vWd,
                           int32_t vHt) {
    if (!vPicStage) {
        throw MissingObjectError();
    }
    make_surface(std::move(vPicStage), vWd, vHt);
}

void clsNoxField::make_surface(std::shared_ptr<platform::PictureBox> picture, int32_t width,
                               int32_t height) {
    Delete(); // a second Create replaces the surface instead of leaking it
    picture_ = std::move(picture);
    dc_ = std::make_unique<platform::DeviceContext>();
    hdc_ = dc_.get();
    width_ = width;
    height_ = height;
    // Selecting no bitmap changes nothing, so a refused bitmap leaves the stock one in place.
    previous_bitmap_ = dc_->select(compatible_bitmap(width, height));
}

void clsNoxField::ClsB() {
    if (hdc_) {
        platform::pat_blt(*hdc_, 0, 0, width_, height_, platform::FillRop::Blackness);
    }
}

void clsNoxField::ClsW() {
    if (hdc_) {
        platform::pat_blt(*hdc_, 0, 0, width_, height_, platform::FillRop::Whiteness);
    }
}

void clsNoxField::LineEx(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
    if (hdc_) {
        hdc_->move_to(X1, Y1);
        hdc_->line_to(X2, Y2);
    }
}

void clsNoxField::Paint() {
    if (!picture_) {
        throw MissingObjectError();
    }
    if (hdc_) {
        platform::bit_blt(picture_->hdc(), 0, 0, width_, height_, *hdc_, 0, 0,
                          platform::Rop::SrcCopy);
    }
}

void clsNoxField::GetPicture() {
    if (!picture_) {
        throw MissingObjectError();
    }
    if (hdc_) {
        platform::bit_blt(*hdc_, 0, 0, width_, height_, picture_->hdc(), 0, 0,
                          platform::Rop::SrcCopy);
    }
}

void clsNoxField::Delete() {
    picture_.reset();
    if (dc_) {
        // Selecting the stock bitmap back releases the field's own bitmap.
        dc_->select(std::move(previous_bitmap_));
        previous_bitmap_.reset();
        dc_.reset();
    }
    hdc_ = nullptr;
}

} // namespace nox
