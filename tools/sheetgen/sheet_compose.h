#pragma once

#include "pixel_map.h"
#include "sheet_layout.h"
#include "sheet_palette.h"

namespace sheetgen {

// Paints every placement of the layout onto one sheet of palette indices and
// refuses layouts the game could not use: art painted into another sprite's
// rectangle, overlapping art, empty sprites, or a top-left pixel that is not
// the key colour (the game takes its colour key from it).
PixelMap compose_sheet(const SheetLayout& layout, const SheetPalette& palette);

} // namespace sheetgen
