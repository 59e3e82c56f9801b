#pragma once
// Windows virtual-key codes for SDL's keys.

#include <SDL_keyboard.h>
#include <SDL_scancode.h>

#include <cstdint>

namespace platform {

// The virtual-key code of a physical key, or 0 when it has none. Keypad digits
// are the keypad codes 96-105 whatever the NumLock state.
int32_t vk_from_scancode(SDL_Scancode scancode);

// The virtual-key code of a key as the keyboard layout labels it: a letter key by the
// letter the layout gives it (its keycode), so that S, N and Z are where they are
// printed; every other key by position (its scancode), so that the keypad and the
// cursor keys do not depend on NumLock or the layout. A layout without Latin letters
// keeps the letters by position; a letter position that the layout gives a Latin
// punctuation mark is no letter at all (0).
int32_t vk_from_keysym(const SDL_Keysym& key);

// SDL's mouse buttons as the forms' handlers number them; 0 for the others.
int mouse_button_code(uint8_t sdl_button);

// The modifier keys held, as the forms' handlers take them: Shift 1, Ctrl 2, Alt 4.
int shift_state(uint16_t mod);

} // namespace platform
