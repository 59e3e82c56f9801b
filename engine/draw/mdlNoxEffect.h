#pragma once
// Prepares the two copies of the sprite sheet for masked drawing. The key colour
// is the sheet's top-left pixel, compared as raw bytes at any depth of 8 bits
// or more (palette indices at 8 bits).

#include "platform/legacy/gdi.h"

namespace nox {

// Key-coloured pixels become black (all bytes 0); all others stay as they are.
void KeyToBlack(platform::Bitmap& picture);

// Key-coloured pixels become white (all bytes 255), all others black.
void MakeMask(platform::Bitmap& picture);

} // namespace nox
