#include "engine/actor/clsNoxGroup.h"

#include "engine/sys/numbers.h"

#include <algorithm>
#include <utility>

namespace nox {

int16_t clsNoxGroup::Count() const {
    return to16(static_cast<int64_t>(slots_.size()) - 1);
}

void clsNoxGroup::Add(std::shared_ptr<clsNoxCharacter> vItem) {
    if (!vItem) {
        throw MissingObjectError();
    }
    const int16_t new_count = add16(item_count_, 1);
    auto free_slot = std::find_if(slots_.begin(), slots_.end(),
                                  [](const GroupSlot& s) { return s.Enabled == kFalse; });
    if (free_slot == slots_.end()) {
        free_slot = slots_.insert(slots_.end(), GroupSlot{});
    }
    free_slot->Item = std::move(vItem);
    free_slot->Enabled = kTrue;
    item_count_ = new_count;
}

void clsNoxGroup::Remove(int16_t vItemNo) {
    GroupSlot& s = slot(vItemNo);
    if (s.Enabled == kFalse) {
        return;
    }
    s.Item.reset();
    s.Enabled = kFalse;
    item_count_ = sub16(item_count_, 1);
}

GroupSlot& clsNoxGroup::slot(int16_t vItemNo) {
    return const_cast<GroupSlot&>(std::as_const(*this).slot(vItemNo));
}

} // namespace nox
