// The desktop icons: the PNG and icon file writers read back by an independent decoder,
// the icon's drawing, the icons the build made, and the icongen program's handling of bad input.

#include "icongen/ico_file.h"
#include "icongen/icon.h"
#include "icongen/png_file.h"
#include "platform/sdl/handles.h"
#include "sheetgen/pixel_map.h"
#include "sheetgen/sheet_palette.h"
#include "tests/support/scratch_dir.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using icongen::Rgba;
using icongen::RgbaImage;

namespace {

const fs::path source_root = fs::path(SKARVELIN_TEST_DATA_DIR).parent_path().parent_path();
const fs::path icongen_program = fs::path(SKARVELIN_BINARY_DIR) / "icongen";

using Surface = sdl::SurfacePtr;

// The file as SDL_image decodes it, in straight RGBA bytes; empty with the decoder's
// complaint in `why` when it cannot be read.
Surface load_rgba(const fs::path& file, std::string& why) {
    Surface loaded(IMG_Load(file.c_str()));
    if (!loaded) {
        why = IMG_GetError();
        return nullptr;
    }
    return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

Rgba pixel(const SDL_Surface* s, int x, int y) {
    const auto* p = static_cast<const std::uint8_t*>(s->pixels) + y * s->pitch + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

TEST(PngFile, ReadsBackPixelForPixelInAnIndependentDecoder) {
    ScratchDir scratch{"skarvelin-png"};
    // Odd sizes and every kind of alpha: rows must not run into each other.
    RgbaImage image(7, 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.at(x, y) = {static_cast<std::uint8_t>(x * 37), static_cast<std::uint8_t>(y * 91),
                              static_cast<std::uint8_t>(255 - x * y),
                              static_cast<std::uint8_t>((x + y) % 3 * 127)};
        }
    }
    const fs::path file = scratch.path() / "image.png";
    icongen::write_png(file, image);
    EXPECT_FALSE(fs::exists(scratch.path() / "image.png.part"));

    std::string why;
    const Surface decoded = load_rgba(file, why);
    ASSERT_TRUE(decoded) << why;
    ASSERT_EQ(decoded->w, 7);
    ASSERT_EQ(decoded->h, 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            EXPECT_EQ(pixel(decoded.get(), x, y), image.at(x, y)) << x << "," << y;
        }
    }
}

TEST(PngFile, AFileThatCannotBeWrittenIsAnErrorNamingIt) {
    const fs::path file = "/nonexistent-skarvelin-folder/icon.png";
    try {
        icongen::write_png(file, RgbaImage(2, 2));
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
}

unsigned little_endian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    unsigned value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    }
    return value;
}

// The sides of each image in an icon file as SDL_image decodes its PNG, after checking that
// the directory describes them and that they lie end to end behind it.
std::vector<std::pair<int, int>> ico_images(const std::vector<std::uint8_t>& ico) {
    EXPECT_EQ(little_endian(ico, 0, 4), 0x10000u) << "reserved 0, type 1";
    const unsigned count = little_endian(ico, 4, 2);
    std::size_t next = 6 + 16 * std::size_t{count};
    std::vector<std::pair<int, int>> sides;
    for (std::size_t entry = 6; entry < 6 + 16 * std::size_t{count}; entry += 16) {
        EXPECT_EQ(little_endian(ico, entry + 2, 4), 0x10000u) << "colours 0, reserved 0, planes 1";
        EXPECT_EQ(little_endian(ico, entry + 6, 2), 32u);
        const unsigned bytes = little_endian(ico, entry + 8, 4);
        EXPECT_EQ(little_endian(ico, entry + 12, 4), next);
        if (next + bytes > ico.size()) {
            ADD_FAILURE() << "an image runs past the end of the file";
            return sides;
        }
        SDL_RWops* data = SDL_RWFromConstMem(ico.data() + next, static_cast<int>(bytes));
        const Surface png(IMG_LoadTyped_RW(data, 1, "PNG"));
        next += bytes;
        EXPECT_TRUE(png) << IMG_GetError();
        if (png) {
            sides.emplace_back(png->w, png->h);
            EXPECT_EQ(ico[entry], png->w % 256);
            EXPECT_EQ(ico[entry + 1], png->h % 256);
        }
    }
    EXPECT_EQ(next, ico.size());
    return sides;
}

TEST(IcoFile, TheDirectoryDescribesEachPngAndRefusesSidesItCannotStore) {
    std::vector<RgbaImage> images{RgbaImage(16, 16), RgbaImage(256, 256), RgbaImage(5, 3)};
    const std::vector<std::pair<int, int>> expected{{16, 16}, {256, 256}, {5, 3}};
    EXPECT_EQ(ico_images(icongen::encode_ico(images)), expected);

    EXPECT_THROW(icongen::encode_ico({}), icongen::IconError);
    EXPECT_THROW(icongen::encode_ico({RgbaImage(16, 16), RgbaImage(257, 257)}), icongen::IconError);
}

TEST(IconSizes, AListHoldsSizesInRangeEachOnce) {
    EXPECT_EQ(icongen::read_icon_sizes("16,24,256", 256), (std::vector<int>{16, 24, 256}));
    for (const char* list : {"", "16,", ",16", "16,,32", "16,257", "15,32", "16,32,16", "16 ,32"}) {
        EXPECT_THROW(icongen::read_icon_sizes(list, 256), icongen::IconError) << list;
    }
}

// A scratch folder with a tiny palette; each test writes the art it needs.
class IconArt : public ::testing::Test {
  protected:
    void SetUp() override {
        write("palette.txt", ". 255 0 255 key\nA 10 20 30\nB 200 100 50\n");
        palette_.emplace(sheetgen::SheetPalette::load(folder() / "palette.txt"));
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder() / name) << text;
    }
    sheetgen::PixelMap art(const std::string& rows) {
        write("art.txt", rows);
        return sheetgen::PixelMap::load(folder() / "art.txt", *palette_);
    }
    const fs::path& folder() const { return scratch_.path(); }

    ScratchDir scratch_{"skarvelin-icon-art"};
    std::optional<sheetgen::SheetPalette> palette_;
};

TEST_F(IconArt, TheArtIsCentredAndEnlargedByAWholeFactorPixelForPixel) {
    // The drawn pixels are 4x2 in a larger box: the empty border does not count.
    const char* rows[] = {"A..B", "BA.A"};
    const RgbaImage icon =
        icongen::draw_icon(art(std::string("......\n.A..B.\n.BA.A.\n......\n")), *palette_, 32);
    // A margin of 2 leaves 28 pixels: a factor of 7, so 28x14 at (2, 9).
    const int factor = 7, left = 2, top = 9;
    for (int y = 0; y < 2 * factor; ++y) {
        for (int x = 0; x < 4 * factor; ++x) {
            const char code = rows[y / factor][x / factor];
            const Rgba got = icon.at(left + x, top + y);
            if (code == 'A') {
                EXPECT_EQ(got, (Rgba{10, 20, 30, 255})) << x << "," << y;
            } else if (code == 'B') {
                EXPECT_EQ(got, (Rgba{200, 100, 50, 255})) << x << "," << y;
            } else {
                // The key shows the square behind, never the key colour itself.
                EXPECT_EQ(got, icon.at(left - 1, top + y)) << x << "," << y;
            }
        }
    }
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgba c = icon.at(x, y);
            EXPECT_FALSE(c.r == 255 && c.g == 0 && c.b == 255 && c.a > 0) << x << "," << y;
        }
    }
}

TEST_F(IconArt, TheSquareIsRoundedOpaqueInsideAndSmoothOnItsCorners) {
    const RgbaImage icon = icongen::draw_icon(art("A\n"), *palette_, 128);
    EXPECT_EQ(icon.at(0, 0).a, 0);
    EXPECT_EQ(icon.at(127, 127).a, 0);
    EXPECT_EQ(icon.at(64, 0).a, 255);
    EXPECT_EQ(icon.at(0, 64).a, 255);
    EXPECT_EQ(icon.at(127, 64).a, 255);
    int partial = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            partial += icon.at(x, y).a > 0 && icon.at(x, y).a < 255;
        }
    }
    EXPECT_GT(partial, 0) << "the corners are stepped, not smoothed";
    // Darker towards the bottom, like a night sky (beside the art, which fills the middle).
    EXPECT_GT(icon.at(4, 30).b, icon.at(4, 97).b);
}

TEST_F(IconArt, ArtWiderThanTheMarginKeepsItsSizeAndArtItCannotShowIsRefused) {
    const Rgba ink{10, 20, 30, 255};
    const RgbaImage icon = icongen::draw_icon(art(std::string(46, 'A') + "\n"), *palette_, 48);
    EXPECT_EQ(icon.at(1, 23), ink);
    EXPECT_EQ(icon.at(46, 23), ink);
    EXPECT_NE(icon.at(0, 23), ink);
    EXPECT_NE(icon.at(47, 23), ink);

    const sheetgen::PixelMap too_wide = art(std::string(49, 'B') + "\n");
    EXPECT_THROW(icongen::draw_icon(too_wide, *palette_, 48), icongen::IconError);
    EXPECT_THROW(icongen::draw_icon(art("....\n....\n"), *palette_, 48), icongen::IconError);
    sheetgen::PixelMap off_palette(2, 2);
    off_palette.set(1, 1, 3);
    EXPECT_THROW(icongen::draw_icon(off_palette, *palette_, 48), icongen::IconError);
    EXPECT_THROW(icongen::draw_icon(art("A\n"), *palette_, 15), icongen::IconError);
    EXPECT_THROW(icongen::draw_icon(art("A\n"), *palette_, 1025), icongen::IconError);
}

TEST_F(IconArt, ArtLargerThanAWindowsIconIsAveragedDownInsteadOfRefused) {
    std::string row;
    for (int x = 0; x < 16; ++x) {
        row += "AB";
    }
    // 32x3 pixels of alternate colours, drawn at 32 (rows 14 to 16) and halved: each pixel of
    // row 7 is the mean of A and B.
    const RgbaImage icon =
        icongen::draw_shrunk_icon(art(row + "\n" + row + "\n" + row + "\n"), *palette_, 16);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(icon.at(x, 7), (Rgba{105, 60, 40, 255})) << x;
    }
    EXPECT_LT(icon.at(0, 0).a, 16) << "the square's corner stays round";
    EXPECT_EQ(icon.at(8, 0).a, 255);
}

TEST(BuiltIcons, EachSizeIsTheFighterAsTheToolDrawsIt) {
    const auto palette = sheetgen::SheetPalette::load(source_root / "data/sheet/palette.txt");
    const auto fighter = sheetgen::PixelMap::load(source_root / "data/sheet/fighter.txt", palette);
    for (int size : {48, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const fs::path file =
            fs::path(SKARVELIN_ICON_DIR) / "hicolor" / folder / "apps" / SKARVELIN_APP_ID ".png";
        std::string why;
        const Surface built = load_rgba(file, why);
        ASSERT_TRUE(built) << file << ": " << why;
        ASSERT_EQ(built->w, size);
        ASSERT_EQ(built->h, size);
        const RgbaImage expected = icongen::draw_icon(fighter, palette, size);
        int differing = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                differing += !(pixel(built.get(), x, y) == expected.at(x, y));
            }
        }
        EXPECT_EQ(differing, 0) << file;
    }
}

TEST(BuiltIcons, TheWindowsIconHoldsEverySizeTheShellShows) {
    std::ifstream in(fs::path(SKARVELIN_ICON_DIR) / "skarvelin.ico", std::ios::binary);
    const std::vector<std::uint8_t> ico{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
    const std::vector<std::pair<int, int>> expected{{16, 16}, {24, 24}, {32, 32},
                                                    {48, 48}, {64, 64}, {256, 256}};
    EXPECT_EQ(ico_images(ico), expected);
}

// Runs icongen and returns its exit status; its messages land in `messages`.
int run_icongen(const std::string& arguments, const fs::path& folder, std::string& messages) {
    const fs::path log = folder / "icongen.log";
    const std::string command =
        "'" + icongen_program.string() + "' " + arguments + " 2>'" + log.string() + "'";
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    messages.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(IconArt, TheProgramNamesWhatIsWrongAndLeavesNoIcon) {
    ASSERT_TRUE(fs::exists(icongen_program)) << icongen_program;
    const std::string sources =
        "'" + (folder() / "palette.txt").string() + "' '" + (folder() / "art.txt").string() + "' ";
    const fs::path icon = folder() / "icon.png";
    const std::string output = " '" + icon.string() + "'";
    std::string messages;

    write("art.txt", ".A.\n.B.\n");
    ASSERT_EQ(run_icongen(sources + "32" + output, folder(), messages), 0) << messages;
    std::string why;
    EXPECT_TRUE(load_rgba(icon, why)) << why;
    fs::remove(icon);

    for (const char* size : {"0", "15", "1025", "32px", "", "-48"}) {
        EXPECT_EQ(run_icongen(sources + "'" + size + "'" + output, folder(), messages), 2) << size;
        EXPECT_NE(messages.find("usage: icongen"), std::string::npos) << messages;
    }
    EXPECT_EQ(run_icongen(sources + "16,32" + output, folder(), messages), 2);
    EXPECT_NE(messages.find("needs an .ico"), std::string::npos) << messages;
    const std::string ico = " '" + (folder() / "icon.ico").string() + "'";
    EXPECT_EQ(run_icongen(sources + "16,512" + ico, folder(), messages), 2);
    EXPECT_NE(messages.find("to 256, not '512'"), std::string::npos) << messages;

    write("art.txt", ".A.\n.X.\n");
    EXPECT_EQ(run_icongen(sources + "32" + output, folder(), messages), 1);
    EXPECT_NE(messages.find("art.txt:2: column 2: 'X' is not in the palette"), std::string::npos)
        << messages;
    write("art.txt", "...\n...\n");
    EXPECT_EQ(run_icongen(sources + "32" + output, folder(), messages), 1);
    EXPECT_NE(messages.find("no pixels"), std::string::npos) << messages;
    EXPECT_FALSE(fs::exists(icon));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 3)
        << "only the sources and the log: no partial icon";
}

} // namespace
