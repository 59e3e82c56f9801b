// icongen: draws the game's desktop icon from the fighter's art in data/sheet/.
// Usage: icongen <palette.txt> <art.txt> <size> <output.png>

#include "icon.h"
#include "png_file.h"
#include "sheetgen/pixel_map.h"
#include "sheetgen/sheet_palette.h"

#include <charconv>
#include <exception>
#include <iostream>
#include <string_view>

namespace {

bool read_size(std::string_view text, int& size) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc() && end == text.data() + text.size() &&
           size >= icongen::kSmallestIcon && size <= icongen::kLargestIcon;
}

} // namespace

int main(int argc, char** argv) {
    int size = 0;
    if (argc != 5 || !read_size(argv[3], size)) {
        std::cerr << "usage: icongen <palette.txt> <art.txt> <size " << icongen::kSmallestIcon
                  << ".." << icongen::kLargestIcon << "> <output.png>\n";
        return 2;
    }
    try {
        const auto palette = sheetgen::SheetPalette::load(argv[1]);
        const auto art = sheetgen::PixelMap::load(argv[2], palette);
        icongen::write_png(argv[4], icongen::draw_icon(art, palette, size));
    } catch (const std::exception& e) {
        std::cerr << "icongen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
