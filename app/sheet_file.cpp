#include "app/sheet_file.h"

#include "engine/sys/errors.h"
#include "game/sortie.h"
#include "platform/system/file_bytes.h"
#include "platform/system/gif_decoder.h"
#include "platform/system/image.h"
#include "platform/system/quoting.h"

namespace app {

std::shared_ptr<platform::Bitmap> decode_sheet(std::string_view bytes, const std::string& name) {
    const game::SheetExtent needed = game::sheet_extent();
    const platform::GifLimits limits{needed.width, needed.height, 4096, 4096};
    try {
        return platform::decode_gif(bytes, limits);
    } catch (const platform::ImageError& e) {
        throw nox::FileError("cannot use the sprite sheet " + platform::quoted_path(name) + ": " +
                             e.what());
    }
}

void load_sheet(platform::PictureBox& area, const std::string& file) {
    std::string bytes;
    try {
        bytes = platform::read_file_bytes(file, kMaxSheetFileBytes);
    } catch (const platform::FileReadError& e) {
        throw nox::FileError(e.what());
    }
    area.set_picture(decode_sheet(bytes, file));
}

} // namespace app
