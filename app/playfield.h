#pragma once
// The picture areas the sortie draws on, laid out as the game window has them; the
// headless runner makes the same ones without a window.

#include "platform/legacy/picture_box.h"
#include "platform/system/text.h"

#include <memory>

namespace app {

// The game window's default font: its counters' and the playfield's frame count.
platform::Font game_window_font();

// The visible playfield as the game window lays it out: 512 x 300 at (19, 34),
// black, with green text in the window's font.
std::shared_ptr<platform::PictureBox> make_playfield();

// A hidden area that holds one copy of the sprite sheet, drawn from by the sprites.
std::shared_ptr<platform::PictureBox> make_sheet_area(int left, int top);

// The green of the playfield's text and the window's counters.
inline const platform::ColorRef kGameGreen = platform::rgb(0, 255, 0);

} // namespace app
