#pragma once
// An off-screen drawing surface the size of a picture area: the game draws a
// whole frame into it, then copies it to the screen in one block copy.

#include "platform/legacy/gdi.h"
#include "platform/legacy/picture_box.h"

#include <cstdint>
#include <memory>

namespace nox {

class clsNoxField {
  public:
    clsNoxField() = default;
    ~clsNoxField();
    clsNoxField(const clsNoxField&) = delete;
    clsNoxField& operator=(const clsNoxField&) = delete;

    int32_t Width() const { return width_; }
    void Width(int32_t vWd) { width_ = vWd; }
    int32_t Height() const { return height_; }
    void Height(int32_t vHt) { height_ = vHt; }
    // The field's drawing context; null while the field is empty.
    platform::DeviceContext* Hdc() const { return hdc_; }
    void Hdc(platform::DeviceContext* vHdc) { hdc_ = vHdc; }
    void ForeColor(platform::ColorRef vFCr);

    void Create(std::shared_ptr<platform::PictureBox> vPicStage, int32_t vPlusWd, int32_t vPlusHt);
    void CreateEx(std::shared_ptr<platform::PictureBox> vPicStage, int32_t vWd, int32_t vHt);
    void ClsB();
    void ClsW();
    void LineEx(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
    void Paint();
    void GetPicture();
    void Delete();

  private:
    void make_surface(std::shared_ptr<platform::PictureBox> picture, int32_t width, int32_t height);

    std::shared_ptr<platform::PictureBox> picture_;
    std::unique_ptr<platform::DeviceContext> dc_;
    std::shared_ptr<platform::Bitmap> previous_bitmap_;
    platform::DeviceContext* hdc_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

} // namespace nox
