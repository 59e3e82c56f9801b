#pragma once
// A numbered set of patterns sharing one field and one pair of sheets: the
// frames of one animated object, or the single picture of a still one.

#include "engine/draw/clsNoxPattern.h"
#include "engine/sys/errors.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace nox {

class clsNoxSprite {
  public:
    int16_t PtNoMax() const { return pt_no_max_; }
    // The pattern itself, not a copy; a number outside 0..PtNoMax raises SubscriptError.
    // Inline: collision tests look a pattern up for every pair of bullet and enemy.
    clsNoxPattern& Pattern(int16_t vPtNo) {
        if (!has_pattern(vPtNo)) {
            throw SubscriptError();
        }
        return patterns_[static_cast<size_t>(vPtNo)];
    }
    // The pattern Pattern gives; null where Pattern would raise.
    const clsNoxPattern* find_pattern(int16_t vPtNo) const noexcept {
        return has_pattern(vPtNo) ? &patterns_[static_cast<size_t>(vPtNo)] : nullptr;
    }
    int16_t Width(int16_t vPtNo);
    int16_t Height(int16_t vPtNo);

    void Create(std::shared_ptr<clsNoxField> vField, std::shared_ptr<platform::PictureBox> vSrcPic,
                std::shared_ptr<platform::PictureBox> vMskPic, int16_t vPMax);
    // kTrue when vPtNo is a valid pattern number, kFalse (and no change) otherwise.
    int16_t SetPtnPic(int16_t vPtNo, int16_t vLeft, int16_t vTop, int16_t vWd, int16_t vHt);
    void Paint(int16_t vPtNo, int16_t vLeft, int16_t vTop);
    void PaintEx(int16_t vPtNo, int16_t vLeft, int16_t vTop);
    int16_t PosCheck(int16_t vPtNo, int16_t vLeft, int16_t vTop);

  private:
    bool has_pattern(int16_t vPtNo) const noexcept {
        return vPtNo >= 0 && vPtNo <= pt_no_max_ && static_cast<size_t>(vPtNo) < patterns_.size();
    }

    std::vector<clsNoxPattern> patterns_;
    int16_t pt_no_max_ = 0;
};

} // namespace nox
