#pragma once

#include "scene_words.h"

namespace picturegen {

// SVG-like outline: M/L x,y  H x  V y  Q c x,y  C c1 c2 x,y  Z; lower case is
// relative to the current point, and a command repeats for further operands.
Path parse_path(const CommandWords& words);

} // namespace picturegen
