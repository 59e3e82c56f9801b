#pragma once
// The walks every game step makes over a group: slots 0 to Count, with Count read
// once at the start, skipping free slots. The other slots keep their numbers
// whatever a step does. A step that returns a bool ends the walk by returning true.

#include "engine/actor/clsNoxGroup.h"

#include <cstdint>
#include <memory>
#include <type_traits>

namespace game {

namespace detail {

template <typename Step> bool run_step(Step& step, int16_t slot, nox::clsNoxCharacter& item) {
    if constexpr (std::is_same_v<decltype(step(slot, item)), bool>) {
        return step(slot, item);
    } else {
        step(slot, item);
        return false;
    }
}

} // namespace detail

// For a step that may remove the current slot.
template <typename Step> void walk_group(nox::clsNoxGroup& group, Step step) {
    const int32_t last = group.Count();
    for (int32_t i = 0; i <= last; ++i) {
        const auto slot = static_cast<int16_t>(i);
        if (group.Enabled(slot)) {
            // A counted reference of our own: removing the slot must not end the character
            // mid-step.
            const std::shared_ptr<nox::clsNoxCharacter> item = group.Item(slot);
            if (detail::run_step(step, slot, *item)) {
                return;
            }
        }
    }
}

// From slot `first` on, for a step that frees no slot: it needs no counted reference.
template <typename Step> void scan_group(const nox::clsNoxGroup& group, int32_t first, Step step) {
    const int32_t last = group.Count();
    for (int32_t i = first; i <= last; ++i) {
        const auto slot = static_cast<int16_t>(i);
        if (group.Enabled(slot) && detail::run_step(step, slot, group.Character(slot))) {
            return;
        }
    }
}

} // namespace game
