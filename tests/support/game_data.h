#pragma once
// The game's data files as the build makes them.

#include <string>
#include <string_view>

// The sprite sheet, for a window's game-path resolver: every game path leads to it.
inline std::string game_sheet_file(std::string_view = {}) {
    return SKARVELIN_GAME_DATA_DIR "/TarnChar.gif";
}
