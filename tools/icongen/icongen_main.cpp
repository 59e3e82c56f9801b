// icongen: draws the game's icon from the fighter's art in data/sheet/, as a PNG for the
// desktop or as a Windows icon file holding several sizes.
// Usage: icongen <palette.txt> <art.txt> <size> <output.png>
//        icongen <palette.txt> <art.txt> <size>[,<size>...] <output.ico>

#include "ico_file.h"
#include "icon.h"
#include "png_file.h"
#include "sheetgen/pixel_map.h"
#include "sheetgen/sheet_palette.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Windows matches extensions without regard to case, so the tool does too.
bool is_ico(const fs::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".ico";
}

int usage(std::string_view why) {
    if (!why.empty()) {
        std::cerr << "icongen: " << why << "\n";
    }
    std::cerr << "usage: icongen <palette.txt> <art.txt> <size " << icongen::kSmallestIcon << ".."
              << icongen::kLargestIcon << "> <output.png>\n"
              << "       icongen <palette.txt> <art.txt> <size " << icongen::kSmallestIcon << ".."
              << icongen::kLargestIcoImage << ">[,<size>...] <output.ico>\n";
    return 2;
}

void draw(const fs::path& palette_file, const fs::path& art_file, const std::vector<int>& sizes,
          const fs::path& output) {
    const auto palette = sheetgen::SheetPalette::load(palette_file);
    const auto art = sheetgen::PixelMap::load(art_file, palette);
    if (!is_ico(output)) {
        icongen::write_png(output, icongen::draw_icon(art, palette, sizes.front()));
        return;
    }
    std::vector<icongen::RgbaImage> images;
    for (int size : sizes) {
        images.push_back(icongen::draw_shrunk_icon(art, palette, size));
    }
    icongen::write_ico(output, images);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        return usage("");
    }
    const bool ico = is_ico(argv[4]);
    std::vector<int> sizes;
    try {
        sizes = icongen::read_icon_sizes(argv[3],
                                         ico ? icongen::kLargestIcoImage : icongen::kLargestIcon);
    } catch (const icongen::IconError& e) {
        return usage(e.what());
    }
    if (sizes.size() > 1 && !ico) {
        return usage("a list of sizes needs an .ico output");
    }
    try {
        draw(argv[1], argv[2], sizes, argv[4]);
    } catch (const std::exception& e) {
        std::cerr << "icongen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
