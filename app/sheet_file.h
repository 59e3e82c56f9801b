#pragma once
// The sprite sheet file, read and checked the one way the game and the runner share.

#include "platform/legacy/gdi.h"
#include "platform/legacy/picture_box.h"

#include <memory>
#include <string>
#include <string_view>

namespace app {

// The largest sheet file read; a sheet of the largest size allowed stays well below it.
inline constexpr size_t kMaxSheetFileBytes = 64u << 20;

// The sheet's pixels from the bytes of its file `name`: a strictly decoded GIF at least
// as large as the catalogue's rectangles and at most 4096 x 4096. Throws nox::FileError
// naming the file and the reason.
std::shared_ptr<platform::Bitmap> decode_sheet(std::string_view bytes, const std::string& name);

// Loads the sprite sheet `file` whole into `area`; throws nox::FileError naming the
// file when it cannot be read or is not a usable sheet.
void load_sheet(platform::PictureBox& area, const std::string& file);

} // namespace app
