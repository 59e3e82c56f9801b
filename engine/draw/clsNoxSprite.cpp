#include "engine/draw/clsNoxSprite.h"

#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

namespace nox {

int16_t clsNoxSprite::Width(int16_t vPtNo) {
    return Pattern(vPtNo).Width();
}

int16_t clsNoxSprite::Height(int16_t vPtNo) {
    return Pattern(vPtNo).Height();
}

void clsNoxSprite::Create(std::shared_ptr<clsNoxField> vField,
                          std::shared_ptr<platform::PictureBox> vSrcPic,
                          std::shared_ptr<platform::PictureBox> vMskPic, int16_t vPMax) {
    patterns_.clear();
    pt_no_max_ = sub16(vPMax, 1);
    if (vPMax < 1) {
        throw SubscriptError();
    }
    patterns_.resize(static_cast<size_t>(vPMax));
    for (clsNoxPattern& pattern : patterns_) {
        pattern.Picture(vSrcPic);
        pattern.Mask(vMskPic);
        pattern.Field(vField);
    }
}

int16_t clsNoxSprite::SetPtnPic(int16_t vPtNo, int16_t vLeft, int16_t vTop, int16_t vWd,
                                int16_t vHt) {
    if (vPtNo < 0 || vPtNo > pt_no_max_) {
        return kFalse;
    }
    clsNoxPattern& pattern = Pattern(vPtNo);
    pattern.Left(vLeft);
    pattern.Top(vTop);
    pattern.Width(vWd);
    pattern.Height(vHt);
    return kTrue;
}

void clsNoxSprite::Paint(int16_t vPtNo, int16_t vLeft, int16_t vTop) {
    Pattern(vPtNo).Paint(vLeft, vTop);
}

void clsNoxSprite::PaintEx(int16_t vPtNo, int16_t vLeft, int16_t vTop) {
    Pattern(vPtNo).PaintEx(vLeft, vTop);
}

int16_t clsNoxSprite::PosCheck(int16_t vPtNo, int16_t vLeft, int16_t vTop) {
    return Pattern(vPtNo).PosCheck(vLeft, vTop);
}

} // namespace nox
