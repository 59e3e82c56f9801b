#include "gif_file.h"

#include "source_text.h"

#include <gif_lib.h>

#include <memory>
#include <string>
#include <system_error>

namespace sheetgen {
namespace {

constexpr int palette_bits = 8;
constexpr int palette_size = 1 << palette_bits;

std::string gif_error_text(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "giflib error " + std::to_string(code);
}

using ColorMapPtr = std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)>;

ColorMapPtr make_color_map(const std::vector<Rgb>& colors) {
    std::vector<GifColorType> table(palette_size, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colors.size() && i < table.size(); ++i) {
        table[i] = {colors[i].r, colors[i].g, colors[i].b};
    }
    ColorMapPtr map(GifMakeMapObject(palette_size, table.data()), &GifFreeMapObject);
    if (!map) {
        throw SheetError("out of memory for the GIF palette");
    }
    return map;
}

bool put_image(GifFileType* gif, const PixelMap& sheet, ColorMapObject* colors) {
    const int width = sheet.width();
    const int height = sheet.height();
    if (EGifPutScreenDesc(gif, width, height, palette_bits, 0, colors) != GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK) {
        return false;
    }
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            row[static_cast<std::size_t>(x)] = sheet.at(x, y);
        }
        if (EGifPutLine(gif, row.data(), width) != GIF_OK) {
            return false;
        }
    }
    return true;
}

// Writes the image and closes the file; returns what went wrong, or "" when all went well.
std::string put_and_close(GifFileType* gif, const PixelMap& sheet, ColorMapObject* colors) {
    const bool written = put_image(gif, sheet, colors);
    const int put_code = gif->Error;
    int close_code = 0;
    const bool closed = EGifCloseFile(gif, &close_code) == GIF_OK;
    if (!written) {
        return gif_error_text(put_code);
    }
    return closed ? "" : gif_error_text(close_code);
}

} // namespace

void write_gif(const std::filesystem::path& file, const PixelMap& sheet,
               const std::vector<Rgb>& colors) {
    const ColorMapPtr color_map = make_color_map(colors);
    std::filesystem::path partial = file;
    partial += ".part";
    int code = 0;
    GifFileType* gif = EGifOpenFileName(partial.c_str(), false, &code);
    if (!gif) {
        throw SheetError(partial.string() + ": cannot create: " + gif_error_text(code));
    }
    std::string failure = put_and_close(gif, sheet, color_map.get());
    if (failure.empty()) {
        // giflib creates its files readable by the owner only; this is ordinary game data.
        using std::filesystem::perms;
        std::error_code problem;
        std::filesystem::permissions(partial,
                                     perms::owner_read | perms::owner_write | perms::group_read |
                                         perms::others_read,
                                     problem);
        if (!problem) {
            std::filesystem::rename(partial, file, problem);
        }
        if (!problem) {
            return;
        }
        failure = problem.message();
    }
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    throw SheetError(file.string() + ": cannot write: " + failure);
}

} // namespace sheetgen
