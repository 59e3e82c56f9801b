#pragma once
// The Windows virtual-key codes the game and its windows answer, named once for
// the game, the window system and the tests.

#include <cstdint>

namespace platform::vk {

inline constexpr int32_t kTab = 9;
inline constexpr int32_t kEnter = 13;
inline constexpr int32_t kShift = 16;
inline constexpr int32_t kEsc = 27;
inline constexpr int32_t kSpace = 32;
inline constexpr int32_t kLeft = 37;
inline constexpr int32_t kUp = 38;
inline constexpr int32_t kRight = 39;
inline constexpr int32_t kDown = 40;
inline constexpr int32_t kC = 67;
inline constexpr int32_t kN = 78;
inline constexpr int32_t kS = 83;
inline constexpr int32_t kX = 88;
inline constexpr int32_t kZ = 90;
inline constexpr int32_t kNumpad2 = 98;
inline constexpr int32_t kNumpad4 = 100;
inline constexpr int32_t kNumpad5 = 101;
inline constexpr int32_t kNumpad6 = 102;
inline constexpr int32_t kNumpad8 = 104;
inline constexpr int32_t kF2 = 113;

} // namespace platform::vk
