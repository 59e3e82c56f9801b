#pragma once
// The walk every game step makes over a group: slots 0 to Count, with Count
// read once at the start, skipping free slots. The step may remove the current
// slot; the other slots keep their numbers. A step that returns a bool ends
// the walk by returning true.

#include "engine/actor/clsNoxGroup.h"

#include <cstdint>
#include <memory>
#include <type_traits>

namespace game {

template <typename Step> void walk_group(nox::clsNoxGroup& group, Step step) {
    const int32_t last = group.Count();
    for (int32_t i = 0; i <= last; ++i) {
        const auto slot = static_cast<int16_t>(i);
        if (group.Enabled(slot)) {
            // A counted reference of our own: removing the slot must not end the character
            // mid-step.
            const std::shared_ptr<nox::clsNoxCharacter> item = group.Item(slot);
            if constexpr (std::is_same_v<decltype(step(slot, *item)), bool>) {
                if (step(slot, *item)) {
                    return;
                }
            } else {
                step(slot, *item);
            }
        }
    }
}

} // namespace game
