#pragma once
// The characters of one kind that are alive at the same time, in numbered slots
// that never move: game rules walk the slots by number and may remove the
// current one during the walk. Free slots are reused lowest first; the slot
// array only ever grows.

#include "engine/actor/clsNoxCharacter.h"
#include "engine/sys/errors.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace nox {

struct GroupSlot {
    std::shared_ptr<clsNoxCharacter> Item;
    int16_t Enabled = 0; // kTrue while the slot holds a character
};

class clsNoxGroup {
  public:
    // Occupied slots.
    int16_t ItemCount() const { return item_count_; }
    // The highest slot number (0 for a new group).
    int16_t Count() const;
    // Slot numbers outside 0..Count raise SubscriptError.
    std::shared_ptr<clsNoxCharacter> Item(int16_t vItemNo) const { return slot(vItemNo).Item; }
    int16_t Enabled(int16_t vItemNo) const { return slot(vItemNo).Enabled; }
    // The character of a slot without a counted reference: it lives until its slot is
    // freed. A free slot raises MissingObjectError.
    clsNoxCharacter& Character(int16_t vItemNo) const {
        const GroupSlot& s = slot(vItemNo);
        if (!s.Item) {
            throw MissingObjectError();
        }
        return *s.Item;
    }
    // Into the lowest free slot, or a new one at the end; a null character raises
    // MissingObjectError.
    void Add(std::shared_ptr<clsNoxCharacter> vItem);
    // Frees the slot; a free slot stays as it is.
    void Remove(int16_t vItemNo);

  private:
    // Inline: every step of every frame walks the groups slot by slot.
    const GroupSlot& slot(int16_t vItemNo) const {
        if (vItemNo < 0 || static_cast<size_t>(vItemNo) >= slots_.size()) {
            throw SubscriptError();
        }
        return slots_[static_cast<size_t>(vItemNo)];
    }
    GroupSlot& slot(int16_t vItemNo);

    std::vector<GroupSlot> slots_ = std::vector<GroupSlot>(1);
    int16_t item_count_ = 0;
};

} // namespace nox
