// The sprite sheet TarnChar.gif as the game sees it, and the sheetgen tool's
// handling of broken art sources.

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/sdl/handles.h"
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path sheet_file = fs::path(SKARVELIN_GAME_DATA_DIR) / "TarnChar.gif";
// Executables sit beside the data folder; the art sources live in the source tree.
const fs::path sheetgen_program = fs::path(SKARVELIN_GAME_DATA_DIR).parent_path() / "sheetgen";
const fs::path art_layout =
    fs::path(SKARVELIN_TEST_DATA_DIR).parent_path().parent_path() / "data/sheet/layout.txt";

struct SheetRect {
    std::string name; // the art file and the layout line that places it
    std::string file;
    int x, y, width, height;
};

// The rectangles of the sheet, as the layout that sheetgen builds it from places them.
struct SheetLayout {
    int width = 0, height = 0;
    std::vector<SheetRect> sprites;
    std::vector<SheetRect> pictures;

    std::vector<SheetRect> all() const {
        std::vector<SheetRect> rects = sprites;
        rects.insert(rects.end(), pictures.begin(), pictures.end());
        return rects;
    }
    std::vector<SheetRect> sprites_of(const std::string& file_prefix) const {
        std::vector<SheetRect> found;
        std::copy_if(sprites.begin(), sprites.end(), std::back_inserter(found),
                     [&](const SheetRect& r) { return r.file.starts_with(file_prefix); });
        return found;
    }
};

// Reads the size and the placements; what else the layout says is sheetgen's to check.
// Returns an empty message, or what could not be read.
std::string read_layout(const fs::path& file, SheetLayout& layout) {
    std::ifstream in(file);
    if (!in) {
        return "cannot open " + file.string();
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string keyword;
        words >> keyword;
        if (keyword == "size") {
            words >> layout.width >> layout.height;
        } else if (keyword == "sprite" || keyword == "picture") {
            SheetRect r;
            words >> r.file >> r.x >> r.y >> r.width >> r.height;
            r.name = r.file + " (layout line " + std::to_string(number) + ")";
            (keyword == "sprite" ? layout.sprites : layout.pictures).push_back(r);
        }
        if (words.fail() && !keyword.empty()) {
            return file.string() + ":" + std::to_string(number) + ": unreadable \"" + line + "\"";
        }
    }
    return {};
}

constexpr SDL_Color key_color{255, 0, 255, 255};

bool same_rgb(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

class SheetImage : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        layout_error_ = read_layout(art_layout, layout_);
        surface_.reset(IMG_Load(sheet_file.c_str()));
        if (surface_) {
            key_index_ = index_at(0, 0);
        }
    }
    static void TearDownTestSuite() { surface_.reset(); }

    void SetUp() override {
        ASSERT_EQ(layout_error_, "");
        ASSERT_FALSE(layout_.sprites.empty()) << art_layout;
        ASSERT_FALSE(layout_.pictures.empty()) << art_layout;
        ASSERT_TRUE(surface_) << sheet_file << ": " << IMG_GetError();
        ASSERT_EQ(surface_->format->BitsPerPixel, 8);
        ASSERT_NE(surface_->format->palette, nullptr);
        // The checks read every rectangle's pixels.
        for (const SheetRect& r : layout_.all()) {
            ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0) << r.name;
            ASSERT_LE(r.x + r.width, surface_->w) << r.name;
            ASSERT_LE(r.y + r.height, surface_->h) << r.name;
        }
    }

    static Uint8 index_at(int x, int y) {
        return static_cast<const Uint8*>(surface_->pixels)[y * surface_->pitch + x];
    }
    static SDL_Color color_at(int x, int y) {
        return surface_->format->palette->colors[index_at(x, y)];
    }
    static bool is_key(int x, int y) { return index_at(x, y) == key_index_; }

    // What a rectangle holds, in the rectangle's own coordinates.
    struct Art {
        int pixels = 0;
        int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
        double brightness = 0; // mean luma of the art pixels
        int box_area() const { return pixels ? (right - left + 1) * (bottom - top + 1) : 0; }
    };
    static Art art_in(const SheetRect& r) {
        Art art;
        for (int y = 0; y < r.height; ++y) {
            for (int x = 0; x < r.width; ++x) {
                if (is_key(r.x + x, r.y + y)) {
                    continue;
                }
                const SDL_Color c = color_at(r.x + x, r.y + y);
                art.brightness += 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
                ++art.pixels;
                art.left = std::min(art.left, x);
                art.right = std::max(art.right, x);
                art.top = std::min(art.top, y);
                art.bottom = std::max(art.bottom, y);
            }
        }
        art.brightness /= std::max(1, art.pixels);
        return art;
    }

    // Mean row of the art in the rightmost column that has any: where the nose is.
    static double nose_row(const SheetRect& r) {
        const int x = r.x + art_in(r).right;
        int rows = 0;
        int sum = 0;
        for (int y = r.y; y < r.y + r.height; ++y) {
            if (!is_key(x, y)) {
                sum += y - r.y;
                ++rows;
            }
        }
        return rows ? static_cast<double>(sum) / rows : -1;
    }

    static inline sdl::SurfacePtr surface_;
    static inline Uint8 key_index_ = 0;
    static inline SheetLayout layout_;
    static inline std::string layout_error_;
};

TEST_F(SheetImage, HasTheLayoutsSizeAndIsKeyedAtTheTopLeft) {
    // Every rectangle lies within the sheet: SetUp makes sure of it.
    EXPECT_EQ(surface_->w, layout_.width);
    EXPECT_EQ(surface_->h, layout_.height);
    EXPECT_TRUE(same_rgb(color_at(0, 0), key_color));
}

TEST_F(SheetImage, EverySpriteHasArtAndNoneOfItUsesTheKeyColour) {
    for (const SheetRect& r : layout_.all()) {
        EXPECT_GT(art_in(r).pixels, 0) << r.name;
    }
    // A second palette entry with the key's colour would turn art transparent.
    for (int y = 0; y < surface_->h; ++y) {
        for (int x = 0; x < surface_->w; ++x) {
            if (!is_key(x, y)) {
                ASSERT_FALSE(same_rgb(color_at(x, y), key_color)) << x << "," << y;
            }
        }
    }
}

TEST_F(SheetImage, SpritesKeepClearOfTheirBoxEdges) {
    for (const SheetRect& r : layout_.sprites) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            EXPECT_TRUE(is_key(x, r.y) && is_key(x, r.y + r.height - 1)) << r.name << " x=" << x;
        }
        for (int y = r.y; y < r.y + r.height; ++y) {
            EXPECT_TRUE(is_key(r.x, y) && is_key(r.x + r.width - 1, y)) << r.name << " y=" << y;
        }
    }
}

TEST_F(SheetImage, NothingIsDrawnOutsideTheRectangles) {
    const std::vector<SheetRect> rects = layout_.all();
    for (int y = 0; y < surface_->h; ++y) {
        for (int x = 0; x < surface_->w; ++x) {
            const bool covered = std::any_of(rects.begin(), rects.end(), [&](const SheetRect& r) {
                return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
            });
            if (!covered) {
                ASSERT_TRUE(is_key(x, y)) << "stray pixel at " << x << "," << y;
            }
        }
    }
}

TEST_F(SheetImage, FighterFacesRightAndItsNoseRisesFromFrameZeroToFour) {
    const std::vector<SheetRect> fighter_frames = layout_.sprites_of("fighter");
    ASSERT_EQ(fighter_frames.size(), 5u); // the fighter's five attitudes
    const SheetRect& level = fighter_frames[2];
    EXPECT_NEAR(nose_row(level), (level.height - 1) / 2.0, 1.0);
    EXPECT_GE(art_in(level).right, level.width - 4);
    for (std::size_t i = 1; i < fighter_frames.size(); ++i) {
        EXPECT_LT(nose_row(fighter_frames[i]), nose_row(fighter_frames[i - 1]))
            << fighter_frames[i].name;
    }
}

TEST_F(SheetImage, ExplosionGrowsAndFades) {
    // Growth is measured by the art's bounding box: the late smoke ring is large but thin.
    const std::vector<SheetRect> explosion_frames = layout_.sprites_of("explosion");
    ASSERT_EQ(explosion_frames.size(), 5u);
    for (std::size_t i = 1; i < explosion_frames.size(); ++i) {
        const Art before = art_in(explosion_frames[i - 1]);
        const Art after = art_in(explosion_frames[i]);
        EXPECT_GT(after.box_area(), before.box_area()) << explosion_frames[i].name;
        EXPECT_LT(after.brightness, before.brightness) << explosion_frames[i].name;
    }
}

// Runs sheetgen and returns its exit status; its messages land in `messages`.
int run_sheetgen(const fs::path& layout, const fs::path& output, std::string& messages) {
    const fs::path log = output.parent_path() / "sheetgen.log";
    const std::string command = "'" + sheetgen_program.string() + "' '" + layout.string() + "' '" +
                                output.string() + "' 2>'" + log.string() + "'";
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    messages.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string file_bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A scratch folder with a tiny but valid set of art sources, which each test breaks.
class SheetgenSources : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(sheetgen_program)) << sheetgen_program;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::path(::testing::TempDir()) /
                  ("sheetgen_" + std::string(test->name()) + "_" + std::to_string(getpid()));
        fs::create_directories(folder_);
        write("palette.txt", ". 255 0 255 key\nA 10 20 30\nB 40 50 60\n");
        write("ship.txt", "....\n.AB.\n....\n");
        write("layout.txt", "size 8 6\npalette palette.txt\nsprite ship.txt 4 0 4 3\n");
    }
    void TearDown() override { fs::remove_all(folder_); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name) << text;
    }

    // Expects sheetgen to fail with a message naming `where` and saying `what`.
    void expect_failure(const std::string& where, const std::string& what) {
        std::string messages;
        EXPECT_EQ(run_sheetgen(folder_ / "layout.txt", folder_ / "out.gif", messages), 1);
        EXPECT_NE(messages.find(where), std::string::npos) << messages;
        EXPECT_NE(messages.find(what), std::string::npos) << messages;
        EXPECT_FALSE(fs::exists(folder_ / "out.gif"));
    }

    fs::path folder_;
};

TEST_F(SheetgenSources, ValidSourcesBuildTheSameBytesEveryTime) {
    std::string messages;
    ASSERT_EQ(run_sheetgen(folder_ / "layout.txt", folder_ / "a.gif", messages), 0) << messages;
    ASSERT_EQ(run_sheetgen(folder_ / "layout.txt", folder_ / "b.gif", messages), 0) << messages;
    EXPECT_EQ(file_bytes(folder_ / "a.gif"), file_bytes(folder_ / "b.gif"));
    // The game's own sheet is rebuilt byte for byte from the committed art.
    ASSERT_EQ(run_sheetgen(art_layout, folder_ / "game.gif", messages), 0) << messages;
    EXPECT_EQ(file_bytes(folder_ / "game.gif"), file_bytes(sheet_file));
}

TEST_F(SheetgenSources, RejectsBrokenPixelMaps) {
    write("ship.txt", "....\n.AX.\n....\n");
    expect_failure("ship.txt:2", "'X' is not in the palette");
    write("ship.txt", "....\n.AB\n....\n");
    expect_failure("ship.txt:2", "row is 3 pixels wide");
    write("ship.txt", "....\n.AB.\n");
    expect_failure("layout.txt:3", "is 4x2, its rectangle is 4x3");
    write("ship.txt", "....\n....\n....\n");
    expect_failure("layout.txt:3", "no pixels besides the key");
}

TEST_F(SheetgenSources, RejectsBrokenPalettes) {
    write("palette.txt", ". 255 0 255 key\nA 10 20 300\n");
    expect_failure("palette.txt:2", "0..255");
    write("palette.txt", ". 255 0 255 key\nA 10 20 30\nA 1 2 3\n");
    expect_failure("palette.txt:3", "defined twice");
    write("palette.txt", ". 255 0 255 key\nA 255 0 255\n");
    expect_failure("palette.txt:2", "same colour as line 1");
}

TEST_F(SheetgenSources, RejectsLayoutsTheGameCannotUse) {
    write("layout.txt", "size 8 6\npalette palette.txt\nsprite ship.txt 6 0 4 3\n");
    expect_failure("layout.txt:3", "reaches past the 8x6 sheet");
    write("layout.txt", "size 8 6\npalette palette.txt\nsprite ship.txt 4 0 4 3 pitch 4/1\n");
    expect_failure("layout.txt:3", "out of the box");
    write("layout.txt", "size 8 6\npalette palette.txt\nsprite ship.txt 4 0 4 3\n"
                        "picture ship.txt 2 0 4 3\n");
    expect_failure("layout.txt:4", "inside the sprite of line 3");
    write("layout.txt", "size 8 6\npalette palette.txt\nsprite ship.txt 0 0 4 3\n");
    write("ship.txt", "A...\n.AB.\n....\n");
    expect_failure("layout.txt", "pixel (0,0) must stay the key colour");
    write("layout.txt", "size 8 6\npalette palette.txt\nsprite missing.txt 4 0 4 3\n");
    expect_failure("missing.txt", "cannot open");
    write("layout.txt", "size 8 6\npalette palette.txt\nsprit ship.txt 4 0 4 3\n");
    expect_failure("layout.txt:3", "unknown keyword \"sprit\"");
}

} // namespace
