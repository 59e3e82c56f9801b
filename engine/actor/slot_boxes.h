#pragma once
// The boxes of a group's slots, taken once for a walk that tests many characters
// against every slot while none of the group's characters moves: each slot is
// rounded once, and a pair is four plain integer compares, eight slots at a time.
// All inline, into the steps of the game that use it.

#include "engine/actor/clsNoxCharacter.h"
#include "engine/actor/clsNoxGroup.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace nox {

class SlotBoxes {
  public:
    // Boxes every slot of the group as it stands. A free slot meets nothing; a
    // character without a box meets everything, so that the caller's own test
    // raises its error where it always did.
    void Take(const clsNoxGroup& group) {
        slots_ = group.Count() + 1;
        const auto padded = static_cast<size_t>((slots_ + kLanes - 1) / kLanes * kLanes);
        for (auto* edges : {&lefts_, &tops_, &rights_, &bottoms_}) {
            edges->resize(padded);
        }
        boxed_.resize(padded);
        for (int32_t slot = 0; slot < static_cast<int32_t>(padded); ++slot) {
            put(slot, group);
        }
    }
    // Boxes one slot again, after its character changed its look.
    void Retake(const clsNoxGroup& group, int16_t slot) { put(slot, group); }

    // The slots taken: the group's Count + 1.
    int32_t Slots() const { return slots_; }
    bool Boxed(int32_t slot) const { return boxed_[static_cast<size_t>(slot)] != 0; }
    // The first slot from `from` on whose box meets `box`, or that has no box;
    // Slots() when there is none.
    int32_t FirstMeeting(const PileBox& box, int32_t from) const {
        for (int32_t chunk = from - from % kLanes; chunk < slots_; chunk += kLanes) {
            const Lanes met = meeting(box, static_cast<size_t>(chunk));
            if (!any(met)) {
                continue;
            }
            for (int32_t lane = from > chunk ? from - chunk : 0; lane < kLanes; ++lane) {
                if (met[lane] != 0) {
                    return chunk + lane;
                }
            }
        }
        return slots_;
    }

  private:
    static constexpr int32_t kLanes = 8;
    // Eight 16-bit lanes: one SSE2 or WebAssembly SIMD register.
    using Lanes = int16_t __attribute__((vector_size(16)));

    static Lanes load(const std::vector<int16_t>& edges, size_t chunk) {
        Lanes v;
        std::memcpy(&v, edges.data() + chunk, sizeof v);
        return v;
    }
    static bool any(Lanes v) {
        uint64_t halves[2];
        std::memcpy(halves, &v, sizeof halves);
        return (halves[0] | halves[1]) != 0;
    }
    // All lanes set where the slot's box meets `box` (see meets()).
    Lanes meeting(const PileBox& box, size_t chunk) const {
        return (box.right >= load(lefts_, chunk)) & (box.left <= load(rights_, chunk)) &
               (box.bottom >= load(tops_, chunk)) & (box.top <= load(bottoms_, chunk));
    }
    void put(int32_t slot, const clsNoxGroup& group) {
        // Its far edges lie before its near ones by more than any size reaches.
        constexpr PileBox kMeetsNothing{INT16_MAX, INT16_MAX, INT16_MIN, INT16_MIN};
        constexpr PileBox kMeetsEverything{INT16_MIN, INT16_MIN, INT16_MAX, INT16_MAX};
        const bool taken = slot < slots_ && group.Enabled(static_cast<int16_t>(slot)) != kFalse;
        const std::optional<PileBox> box =
            taken ? group.Character(static_cast<int16_t>(slot)).pile_box() : kMeetsNothing;
        const PileBox& b = box ? *box : kMeetsEverything;
        const auto at = static_cast<size_t>(slot);
        lefts_[at] = b.left;
        tops_[at] = b.top;
        rights_[at] = b.right;
        bottoms_[at] = b.bottom;
        boxed_[at] = box.has_value();
    }

    int32_t slots_ = 0;
    // One entry a slot, padded with slots that meet nothing to whole chunks of lanes.
    std::vector<int16_t> lefts_, tops_, rights_, bottoms_;
    std::vector<uint8_t> boxed_;
};

} // namespace nox
