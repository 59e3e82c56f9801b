// Virtual-key codes of SDL keys: letters as the keyboard layout labels them, every
// other key by its place on the keyboard.

#include "platform/sdl/vk_map.h"

#include <gtest/gtest.h>

using platform::vk_from_keysym;

namespace {

SDL_Keysym keysym(SDL_Scancode scancode, SDL_Keycode sym, uint16_t mod = KMOD_NONE) {
    SDL_Keysym key{};
    key.scancode = scancode;
    key.sym = sym;
    key.mod = mod;
    return key;
}

} // namespace

TEST(VkFromKeysym, LettersAreTheLettersTheLayoutGives) {
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_S, SDLK_s)), 'S');
    // AZERTY: A and Q, Z and W change places, M sits where QWERTY has the semicolon.
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_A, SDLK_q)), 'Q');
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_Q, SDLK_a)), 'A');
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_W, SDLK_z)), 'Z');
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_SEMICOLON, SDLK_m)), 'M');
    // QWERTZ: Z and Y change places.
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_Y, SDLK_z)), 'Z');
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_Z, SDLK_y)), 'Y');
    // Shift and Caps Lock do not change a key's code.
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_N, SDLK_n, KMOD_SHIFT | KMOD_CAPS)), 'N');
}

TEST(VkFromKeysym, ALetterPlaceWithoutALatinLetter) {
    // AZERTY's comma, where QWERTY has M, is no letter.
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_M, SDLK_COMMA)), 0);
    // A layout without Latin letters (Cyrillic ы) or no keycode at all: by place.
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_S, 0x044B)), 'S');
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_Z, SDLK_UNKNOWN)), 'Z');
}

TEST(VkFromKeysym, KeypadDigitsWithNumLockOnOrOff) {
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_KP_2, SDLK_KP_2, KMOD_NUM)), 98);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_KP_2, SDLK_DOWN)), 98);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_KP_8, SDLK_UP)), 104);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_KP_4, SDLK_KP_4, KMOD_NUM)), 100);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_KP_6, SDLK_RIGHT)), 102);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_KP_0, SDLK_INSERT)), 96);
}

TEST(VkFromKeysym, OtherKeysGoByPlace) {
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_DOWN, SDLK_DOWN)), 40);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_LEFT, SDLK_LEFT)), 37);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_UP, SDLK_UP)), 38);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_RIGHT, SDLK_RIGHT)), 39);
    // AZERTY's digit row gives & and é unshifted; the codes are still the digits.
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_1, SDLK_AMPERSAND)), '1');
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_2, 0x00E9)), '2');
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE)), 27);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_SPACE, SDLK_SPACE)), 32);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_F2, SDLK_F2)), 113);
    EXPECT_EQ(vk_from_keysym(keysym(SDL_SCANCODE_APPLICATION, SDLK_APPLICATION)), 0);
}
