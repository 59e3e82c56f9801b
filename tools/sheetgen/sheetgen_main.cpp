// sheetgen: builds the game's sprite sheet GIF from the text art in data/sheet/.
// Usage: sheetgen <layout.txt> <output.gif>

#include "gif_file.h"
#include "sheet_compose.h"
#include "sheet_layout.h"
#include "sheet_palette.h"
#include "source_text.h"

#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sheetgen <layout.txt> <output.gif>\n";
        return 2;
    }
    try {
        const auto layout = sheetgen::SheetLayout::load(argv[1]);
        const auto palette = sheetgen::SheetPalette::load(layout.palette);
        const auto sheet = sheetgen::compose_sheet(layout, palette);
        sheetgen::write_gif(argv[2], sheet, palette.colors());
    } catch (const std::exception& e) {
        std::cerr << "sheetgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
