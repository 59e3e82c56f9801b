#pragma once
// Windows virtual-key codes for SDL's physical keys.

#include <SDL_scancode.h>

#include <cstdint>

namespace platform {

// The virtual-key code of a physical key, or 0 when it has none. Keypad digits
// are the keypad codes 96-105 whatever the NumLock state.
int32_t vk_from_scancode(SDL_Scancode scancode);

} // namespace platform
