#include "platform/sdl/handles.h"
#include "tools/picturegen/noise.h"
#include "tools/picturegen/paint.h"
#include "tools/picturegen/picturegen.h"
#include "tools/picturegen/procedural.h"
#include "tools/picturegen/renderer.h"
#include "tools/picturegen/scene_parser.h"
#include "tools/picturegen/scene_words.h"
#include "tools/picturegen/source_text.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace picturegen;

namespace {

const std::filesystem::path kScenes = PICTUREGEN_SCENE_DIR;
const std::filesystem::path kPictures = PICTUREGEN_OUTPUT_DIR;

struct StoredPicture {
    const char* name;
    int width, height;
};

constexpr StoredPicture kStoredPictures[] = {
    {"background.bmp", 549, 349}, {"aircraft_background.bmp", 549, 349},
    {"aircraft.bmp", 807, 437},   {"world1.jpg", 256, 383},
    {"world2.jpg", 390, 256},     {"world3.jpg", 340, 256}};

std::vector<std::uint8_t> bytes_of(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t u32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

using Surface = sdl::SurfacePtr;

// Loaded as 8-bit RGB whatever the file holds.
Surface load_rgb(const std::filesystem::path& file) {
    Surface loaded(IMG_Load(file.c_str()));
    if (!loaded) {
        return nullptr;
    }
    return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB24, 0));
}

struct Rgb {
    double r, g, b;
};

Rgb pixel(const SDL_Surface* s, int x, int y) {
    const auto* p = static_cast<const std::uint8_t*>(s->pixels) + y * s->pitch + x * 3;
    return {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0};
}

// Relative luminance and contrast ratio as used for text legibility.
double luminance(const Rgb& c) {
    auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double contrast(const Rgb& a, const Rgb& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The weakest contrast of `ink` against any pixel of the box, averaged over 3 x 3
// so that a single star does not count as a wall of light.
double weakest_contrast(const SDL_Surface* s, const Rgb& ink, int x0, int y0, int x1, int y1) {
    double weakest = 1e9;
    for (int y = y0 + 1; y < y1 - 1; ++y) {
        for (int x = x0 + 1; x < x1 - 1; ++x) {
            Rgb mean{0, 0, 0};
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const Rgb p = pixel(s, x + dx, y + dy);
                    mean = {mean.r + p.r / 9, mean.g + p.g / 9, mean.b + p.b / 9};
                }
            }
            weakest = std::min(weakest, contrast(ink, mean));
        }
    }
    return weakest;
}

Canvas draw(const std::string& body, int width = 20, int height = 20) {
    return render(parse_scene_text("size " + std::to_string(width) + " " + std::to_string(height) +
                                       "\n" + body,
                                   "test.scene", kScenes));
}

double total_alpha(const Canvas& canvas) {
    double sum = 0;
    for (const Rgba& p : canvas.pixels()) {
        sum += p.a;
    }
    return sum;
}

std::string parse_error(const std::string& text) {
    try {
        parse_scene_text(text, "bad.scene", kScenes);
    } catch (const PictureError& e) {
        return e.what();
    }
    return "(no error)";
}

class TempDir {
  public:
    TempDir()
        : path_(std::filesystem::temp_directory_path() /
                ("picturegen_test_" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

} // namespace

// --- the pictures the build made ----------------------------------------------------

TEST(StoredPictures, HaveTheirFormatSizeAndDepth) {
    for (const StoredPicture& picture : kStoredPictures) {
        SCOPED_TRACE(picture.name);
        const std::filesystem::path file = kPictures / picture.name;
        const std::vector<std::uint8_t> bytes = bytes_of(file);
        ASSERT_GT(bytes.size(), 54u);
        if (file.extension() == ".bmp") {
            EXPECT_EQ(bytes[0], 'B');
            EXPECT_EQ(bytes[1], 'M');
            EXPECT_EQ(u32_at(bytes, 18), static_cast<std::uint32_t>(picture.width));
            EXPECT_EQ(u32_at(bytes, 22), static_cast<std::uint32_t>(picture.height));
            EXPECT_EQ(bytes[28] | bytes[29] << 8, 24); // bits per pixel
            EXPECT_EQ(u32_at(bytes, 30), 0u);          // uncompressed
        } else {
            EXPECT_EQ(bytes[0], 0xFF);
            EXPECT_EQ(bytes[1], 0xD8);
        }
        const Surface loaded = load_rgb(file);
        ASSERT_TRUE(loaded) << IMG_GetError();
        EXPECT_EQ(loaded->w, picture.width);
        EXPECT_EQ(loaded->h, picture.height);
    }
}

TEST(StoredPictures, DrawingAgainGivesTheSameBytes) {
    TempDir temp;
    for (const char* name : {"background.bmp", "world3.jpg"}) {
        SCOPED_TRACE(name);
        const std::filesystem::path again = temp.path() / name;
        generate_picture(kScenes / (std::filesystem::path(name).stem().string() + ".scene"), again);
        EXPECT_EQ(bytes_of(again), bytes_of(kPictures / name));
    }
}

TEST(StoredPictures, BackgroundKeepsEveryWindowsTextReadable) {
    const Surface bg = load_rgb(kPictures / "background.bmp");
    ASSERT_TRUE(bg);
    const Rgb white{1, 1, 1}, green{0, 1, 0}, silver{0.753, 0.753, 0.753}, red{1, 0, 0};
    // The band carries both the story pages' first line of silver text and the game
    // window's navy title with its white edge: dark, so that the silver reads, and the
    // edge draws the title's letters on it.
    EXPECT_GE(weakest_contrast(bg.get(), white, 55, 7, 170, 24), 4.5);
    EXPECT_GE(weakest_contrast(bg.get(), silver, 0, 0, 549, 27), 4.5);
    EXPECT_GE(weakest_contrast(bg.get(), green, 273, 8, 513, 27), 7.0);
    // Title screen, story pages and briefing text on the dark field; the big red
    // title counts as large text.
    EXPECT_GE(weakest_contrast(bg.get(), green, 30, 128, 520, 217), 4.5);
    EXPECT_GE(weakest_contrast(bg.get(), silver, 30, 40, 520, 175), 4.5);
    EXPECT_GE(weakest_contrast(bg.get(), red, 60, 34, 490, 73), 3.0);
}

// --- the scene language ---------------------------------------------------------------

TEST(SceneErrors, NameTheFileLineAndProblem) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"rect 0 0 1 1 fill=#fff\n", "bad.scene:1: a scene must start with 'size"},
        {"size 10\n", "bad.scene:1: expected 'size <width> <height>'"},
        {"size 10 0\n", "bad.scene:1: height '0' is out of range"},
        {"size 10 10\n\n# note\nwobble 3\n", "bad.scene:4: unknown command 'wobble'"},
        {"size 10 10\nrect 0 0 5 x fill=#fff\n", "bad.scene:2: bad number 'x' for height"},
        {"size 10 10\nrect 0 0 5 5\n", "bad.scene:2: 'rect' needs fill=<paint> or stroke=<paint>"},
        {"size 10 10\nrect 0 0 5 5 fill=#fff colour=#000\n",
         "bad.scene:2: 'rect' has no option 'colour'"},
        {"size 10 10\nrect 0 0 5 5 fill=#fff fill=#000\n",
         "bad.scene:2: option 'fill' given twice"},
        {"size 10 10\ncircle 1 1 1 fill=#12345\n", "bad.scene:2: bad colour '#12345'"},
        {"size 10 10\ncircle 1 1 1 fill=teal\n", "bad.scene:2: unknown colour or paint 'teal'"},
        {"size 10 10\npaint g linear 0,0 1,1 #000@0 #fff@1\nglow 1 1 1 color=g\n",
         "bad.scene:3: 'g' is a gradient; a plain colour is needed here"},
        {"size 10 10\npaint g linear 0,0 1,1 #000@0.5 #fff@0.2\n", "bad.scene:2: gradient stop"},
        {"size 10 10\npath L 1,1 fill=#fff\n", "bad.scene:2: a path must start with M"},
        {"size 10 10\npath M 1,1 C 2,2 fill=#fff\n",
         "bad.scene:2: path command C needs 3 operand(s)"},
        {"size 10 10\nlayer blend=overlay\nend\n", "bad.scene:2: unknown blend 'overlay'"},
        {"size 10 10\ngroup\n  layer\n  end\n", "bad.scene:2: 'group' is never closed by 'end'"},
        {"size 10 10\nend\n", "bad.scene:2: 'end' without a block to close"},
        {"size 10 10\ngroup scale=0\nend\n", "bad.scene:2: a scale of 0 flattens everything"},
        {"size 10 10\nrepeat 1000\nrepeat 1000\nend\nend\n",
         "bad.scene:3: nested repeats would draw over 100000 times"},
        {"size 10 10\ndraw wing fill=#fff\n", "bad.scene:2: unknown shape 'wing'"},
        {"size 10 10\ninclude no-such.part\n", "bad.scene:2: cannot read included file"},
        // A continued line reports where the command starts.
        {"size 10 10\npolygon 0,0 \\\n  5,5 \\\n  5 fill=#fff\n", "bad.scene:2: bad point '5'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parse_error(c.text).rfind(c.message, 0), 0u) << parse_error(c.text);
    }
}

TEST(SceneErrors, FileThatIncludesItselfIsStopped) {
    TempDir temp;
    std::ofstream(temp.path() / "loop.part") << "include loop.part\n";
    const std::string error = [&] {
        try {
            parse_scene_text("size 4 4\ninclude loop.part\n", "main.scene", temp.path());
        } catch (const PictureError& e) {
            return std::string(e.what());
        }
        return std::string("(no error)");
    }();
    EXPECT_NE(error.find("loop.part:1: includes nested too deeply"), std::string::npos) << error;
}

TEST(SceneErrors, LeaveNoPictureBehind) {
    TempDir temp;
    const std::filesystem::path scene = temp.path() / "broken.scene";
    std::ofstream(scene) << "size 8 8\ncircle 4 4 3 fill=#fff\nlayer\n";
    const std::filesystem::path output = temp.path() / "broken.bmp";
    EXPECT_THROW(generate_picture(scene, output), PictureError);
    EXPECT_THROW(generate_picture(scene, temp.path() / "broken.png"), PictureError);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()),
                            std::filesystem::directory_iterator()),
              1); // only the scene itself
}

TEST(SceneText, CommentsColoursAndContinuations) {
    const auto lines = split_scene_text("# whole line\n"
                                        "rect 1 2 \\\n"
                                        "  3 4 fill=#a1b2c3 # trailing note\n"
                                        "\n"
                                        "  circle 0 0 1 fill=#fff#not-a-comment\n",
                                        "t.scene");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].number, 2);
    EXPECT_EQ(lines[0].words,
              (std::vector<std::string>{"rect", "1", "2", "3", "4", "fill=#a1b2c3"}));
    EXPECT_EQ(lines[1].number, 5);
    EXPECT_EQ(lines[1].words.back(), "fill=#fff#not-a-comment");
}

// --- drawing ------------------------------------------------------------------------------

TEST(Drawing, CoverageIsAntiAliasedAndExact) {
    // Half a pixel column covered gives half coverage, not a jagged step.
    const Canvas half = draw("rect 2.5 2 5 4 fill=#ffffff\n");
    EXPECT_NEAR(half.at(2, 3).a, 0.5, 1e-3);
    EXPECT_NEAR(half.at(3, 3).a, 1.0, 1e-3);
    EXPECT_NEAR(half.at(7, 3).a, 0.5, 1e-3);
    EXPECT_EQ(half.at(8, 3).a, 0.0f);
    // A circle's coverage adds up to its area.
    const Canvas disc = draw("circle 20 20 12.3 fill=#ffffff\n", 40, 40);
    EXPECT_NEAR(total_alpha(disc), std::numbers::pi * 12.3 * 12.3, 1.0);
    // A thin line of half a pixel lights its pixels half.
    const Canvas hair = draw("line 0,5.5 20,5.5 stroke=#ffffff width=0.5\n");
    EXPECT_NEAR(hair.at(10, 5).a, 0.5, 0.02);
    EXPECT_EQ(hair.at(10, 7).a, 0.0f);
}

TEST(Drawing, EvenOddRuleLeavesTheHoleOfARing) {
    const Canvas ring = draw("path M 2,2 L 18,2 L 18,18 L 2,18 Z M 6,6 L 14,6 L 14,14 L 6,14 Z "
                             "fill=#ffffff rule=evenodd\n");
    EXPECT_EQ(ring.at(10, 10).a, 0.0f);
    EXPECT_NEAR(ring.at(3, 10).a, 1.0, 1e-3);
    const Canvas solid = draw("path M 2,2 L 18,2 L 18,18 L 2,18 Z M 6,6 L 14,6 L 14,14 L 6,14 Z "
                              "fill=#ffffff\n");
    EXPECT_NEAR(solid.at(10, 10).a, 1.0, 1e-3);
}

TEST(Drawing, ClipHoldsUntilTheEndOfItsBlock) {
    const Canvas canvas = draw("group\n"
                               "  clip rect 0 0 10 20\n"
                               "  rect 0 0 20 10 fill=#ff0000\n"
                               "end\n"
                               "rect 0 10 20 10 fill=#0000ff\n");
    EXPECT_NEAR(canvas.at(5, 5).r, 1.0, 1e-3);
    EXPECT_EQ(canvas.at(15, 5).a, 0.0f);         // clipped away
    EXPECT_NEAR(canvas.at(15, 15).b, 1.0, 1e-3); // after 'end' nothing is clipped
}

TEST(Drawing, RepeatAppliesItsStepOnceMoreEachTime) {
    const Canvas canvas = draw("repeat 3 translate=6,0\n"
                               "  rect 1 1 2 2 fill=#ffffff\n"
                               "end\n");
    for (int x : {1, 7, 13}) {
        EXPECT_NEAR(canvas.at(x, 1).a, 1.0, 1e-3) << x;
    }
    EXPECT_EQ(canvas.at(19, 1).a, 0.0f);
    EXPECT_NEAR(total_alpha(canvas), 12.0, 1e-3);
}

TEST(Drawing, GradientsFollowTheirGroup) {
    const Canvas canvas = draw("paint fade linear 0,0 10,0 #000000@0 #ffffff@1\n"
                               "group translate=10,0\n"
                               "  rect 0 0 10 20 fill=fade\n"
                               "end\n");
    EXPECT_LT(canvas.at(10, 5).r, 0.1);
    EXPECT_GT(canvas.at(19, 5).r, 0.9);
}

TEST(Drawing, BlendModes) {
    const std::string base = "fill #404040\n";
    EXPECT_NEAR(draw(base + "fill #404040 blend=add\n").at(0, 0).r, 0.5, 0.01);
    EXPECT_NEAR(draw(base + "fill #808080 blend=multiply\n").at(0, 0).r, 0.125, 0.01);
    EXPECT_NEAR(draw(base + "fill #808080 blend=screen\n").at(0, 0).r, 0.627, 0.01);
    // Atop paints only where something is already painted.
    const Canvas atop = draw("rect 0 0 10 20 fill=#ff0000\nfill #0000ff blend=atop\n");
    EXPECT_NEAR(atop.at(5, 5).b, 1.0, 1e-3);
    EXPECT_EQ(atop.at(15, 5).a, 0.0f);
}

TEST(Drawing, BlurredLayerSpreadsButKeepsItsLight) {
    const Canvas sharp = draw("rect 16 16 8 8 fill=#ffffff\n", 40, 40);
    const Canvas soft = draw("layer blur=2\n  rect 16 16 8 8 fill=#ffffff\nend\n", 40, 40);
    EXPECT_GT(soft.at(14, 20).a, 0.05f);
    EXPECT_LT(soft.at(20, 20).a, 1.0f);
    EXPECT_NEAR(total_alpha(soft), total_alpha(sharp), 0.5);
}

TEST(Drawing, SeededStarsAndNoiseRepeatExactly) {
    const std::string field = "stars 40 seed=9 size=0.3..1.5 glint=0.3\n"
                              "noise seed=2 scale=6 color=#3050a0 range=0.4..0.8\n";
    const Canvas first = draw(field, 60, 40);
    const Canvas second = draw(field, 60, 40);
    const Canvas other = draw("stars 40 seed=10 size=0.3..1.5 glint=0.3\n"
                              "noise seed=2 scale=6 color=#3050a0 range=0.4..0.8\n",
                              60, 40);
    const auto same = [](const Canvas& a, const Canvas& b) {
        return std::equal(a.pixels().begin(), a.pixels().end(), b.pixels().begin(),
                          [](const Rgba& p, const Rgba& q) {
                              return p.r == q.r && p.g == q.g && p.b == q.b && p.a == q.a;
                          });
    };
    EXPECT_TRUE(same(first, second));
    EXPECT_FALSE(same(first, other));
}

TEST(Drawing, DitheringStaysWithinOneStep) {
    // 129 at half strength lies between the bytes 64 and 65.
    const Picture picture = quantize(draw("fill #818181/0.5\n", 16, 16));
    const auto [low, high] = std::minmax_element(picture.rgb.begin(), picture.rgb.end());
    EXPECT_EQ(*low, 64);
    EXPECT_EQ(*high, 65);
}

TEST(SceneText, WordsOfTheLanguage) {
    EXPECT_EQ(to_number("-2.5"), -2.5);
    EXPECT_EQ(to_number("+3"), 3.0);
    for (const char* bad : {"", "1e400", "nan", "inf", "1,2", "3px", "--1"}) {
        EXPECT_FALSE(to_number(bad)) << bad;
    }
    const auto p = to_point("-1.5,2");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, -1.5);
    EXPECT_EQ(p->y, 2.0);
    EXPECT_FALSE(to_point("1,"));
    EXPECT_FALSE(to_range("3..1"));
    const auto one = to_range("0.5");
    ASSERT_TRUE(one);
    EXPECT_EQ(one->low, one->high);

    const auto short_form = to_hex_color("#f80");
    ASSERT_TRUE(short_form);
    EXPECT_FLOAT_EQ(short_form->g, 0x88 / 255.0f);
    const auto with_alpha = to_hex_color("#10203040");
    ASSERT_TRUE(with_alpha);
    EXPECT_FLOAT_EQ(with_alpha->b, 0x30 / 255.0f);
    EXPECT_FLOAT_EQ(with_alpha->a, 0x40 / 255.0f);
    for (const char* bad : {"#", "#12", "#12345", "#1234567", "#ggg", "123456"}) {
        EXPECT_FALSE(to_hex_color(bad)) << bad;
    }
}

TEST(SceneText, NamedColoursTakeAnOpacityAndLaterDefinitionsWin) {
    const Canvas canvas = draw("color ink #ff0000\n"
                               "color ink #0000ff\n"
                               "rect 0 0 10 10 fill=ink/0.5\n");
    EXPECT_NEAR(canvas.at(5, 5).b, 0.5, 1e-3);
    EXPECT_NEAR(canvas.at(5, 5).a, 0.5, 1e-3);
    EXPECT_EQ(canvas.at(5, 5).r, 0.0f);
}

TEST(SceneText, IncludesAreFoundBesideTheFileThatNamesThem) {
    TempDir temp;
    std::filesystem::create_directories(temp.path() / "parts" / "deeper");
    std::ofstream(temp.path() / "parts" / "outer.part") << "include deeper/inner.part\n";
    std::ofstream(temp.path() / "parts" / "deeper" / "inner.part") << "rect 0 0 4 4 fill=#fff\n";
    const Scene scene =
        parse_scene_text("size 8 8\ninclude parts/outer.part\n", "main.scene", temp.path());
    EXPECT_NEAR(render(scene).at(2, 2).a, 1.0, 1e-3);
}

// --- paths, paints and transforms ----------------------------------------------------------

TEST(Drawing, RelativeAndShortPathCommandsMatchAbsoluteOnes) {
    const Canvas absolute = draw("path M 2,2 L 12,2 L 12,9 L 2,9 Z fill=#ffffff\n");
    const Canvas relative = draw("path m 2,2 h 10 v 7 h -10 z fill=#ffffff\n");
    const Canvas repeated = draw("path M 2,2 12,2 12,9 2,9 Z fill=#ffffff\n");
    EXPECT_NEAR(total_alpha(absolute), 70.0, 1e-3);
    for (const Canvas* other : {&relative, &repeated}) {
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                ASSERT_EQ(other->at(x, y).a, absolute.at(x, y).a) << x << "," << y;
            }
        }
    }
    // Curves bend toward their control points.
    const Canvas bulge = draw("path M 2,18 Q 10,-6 18,18 Z fill=#ffffff\n");
    EXPECT_NEAR(bulge.at(10, 7).a, 1.0, 1e-3);
    EXPECT_EQ(bulge.at(3, 7).a, 0.0f);
}

TEST(Drawing, GroupsTurnAndScaleAboutTheirOrigin) {
    // A bar to the right of (10,10), turned a quarter about that point, hangs below it.
    const Canvas turned = draw("group origin=10,10 rotate=90\n"
                               "  rect 10 9 8 2 fill=#ffffff\n"
                               "end\n");
    EXPECT_NEAR(turned.at(10, 15).a, 1.0, 1e-3);
    EXPECT_EQ(turned.at(15, 10).a, 0.0f);
    const Canvas grown = draw("group origin=10,10 scale=2 translate=-5,0\n"
                              "  rect 9 9 2 2 fill=#ffffff\n"
                              "end\n");
    EXPECT_NEAR(total_alpha(grown), 16.0, 1e-3);
    EXPECT_NEAR(grown.at(3, 8).a, 1.0, 1e-3); // (8..12) moved left by 5
    const Transform t =
        Transform::rotation(30).then(Transform::scaling(2, 3)).then(Transform::translation(4, -1));
    const Point back = t.inverse().apply(t.apply({7, -2}));
    EXPECT_NEAR(back.x, 7, 1e-9);
    EXPECT_NEAR(back.y, -2, 1e-9);
}

TEST(Drawing, StrokesKeepTheirShapeUnderUnevenScale) {
    // Squeezed four times across, a 1-wide vertical line is a quarter pixel wide
    // and a horizontal one keeps its full pixel.
    const Canvas canvas = draw("group scale=0.25,1\n"
                               "  line 40,0 40,8 stroke=#ffffff width=1\n"
                               "  line 0,14.5 80,14.5 stroke=#ffffff width=1\n"
                               "end\n");
    double vertical = 0;
    for (int x = 0; x < 20; ++x) {
        vertical += canvas.at(x, 4).a;
    }
    EXPECT_NEAR(vertical, 0.25, 0.05);
    EXPECT_NEAR(canvas.at(10, 14).a, 1.0, 1e-3);
}

TEST(Drawing, GradientStopsAndRadialPaints) {
    Paint ramp;
    ramp.kind = PaintKind::Linear;
    ramp.start = {0, 0};
    ramp.end = {10, 0};
    ramp.stops = {{0.0, {0, 0, 0, 1}}, {0.5, {1, 0, 0, 1}}, {1.0, {1, 1, 1, 1}}};
    EXPECT_FLOAT_EQ(color_at(ramp, {-5, 3}).r, 0.0f); // before the start: first stop
    EXPECT_FLOAT_EQ(color_at(ramp, {2.5, 0}).r, 0.5f);
    EXPECT_FLOAT_EQ(color_at(ramp, {7.5, 9}).g, 0.5f);
    EXPECT_FLOAT_EQ(color_at(ramp, {30, 0}).b, 1.0f);
    Paint spot = ramp;
    spot.kind = PaintKind::Radial;
    spot.start = {0, 0};
    spot.end = {10, 5}; // an ellipse twice as wide as high
    EXPECT_FLOAT_EQ(color_at(spot, {5, 0}).r, 1.0f);
    EXPECT_FLOAT_EQ(color_at(spot, {0, 2.5}).r, 1.0f);
    EXPECT_FLOAT_EQ(color_at(spot, {0, 5}).g, 1.0f);
}

// --- generated detail ------------------------------------------------------------------------

TEST(Generators, StarsStayInTheirArea) {
    const Canvas canvas = draw("stars 200 seed=3 area=20,10,20,10 size=0.3..0.6\n", 60, 30);
    double inside = 0, outside = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            const bool in = x >= 16 && x < 44 && y >= 6 && y < 24; // allowing for glow
            (in ? inside : outside) += canvas.at(x, y).a;
        }
    }
    EXPECT_GT(inside, 10.0);
    EXPECT_EQ(outside, 0.0);
}

TEST(Generators, SkylineStandsOnItsBaseBetweenItsEnds) {
    Skyline city;
    city.seed = 4;
    city.left = 10;
    city.right = 200;
    city.base = 100;
    city.height = {20, 60};
    city.width = {8, 20};
    city.windows = Color{1, 0.8f, 0.4f, 1};
    city.lit = 0.5;
    const SkylineParts parts = build_skyline(city);
    double lowest = 0, left = 1e9, right = -1e9, top = 1e9;
    for (const PathElement& e : parts.buildings) {
        if (e.kind == PathElement::Kind::Close) {
            continue;
        }
        lowest = std::max(lowest, e.points[0].y);
        top = std::min(top, e.points[0].y);
        left = std::min(left, e.points[0].x);
        right = std::max(right, e.points[0].x);
    }
    EXPECT_EQ(left, 10.0);
    EXPECT_EQ(right, 200.0);
    EXPECT_GE(lowest, 100.0); // reaches the ground, no gap under it
    EXPECT_GE(top, 100.0 - 60 * 1.5);
    EXPECT_FALSE(parts.windows.empty());
    EXPECT_EQ(parts.windows.size(), parts.window_brightness.size());
}

TEST(Generators, GridLinesFallOnTheirSteps) {
    const Canvas canvas = draw("grid 0.5 0.5 19 19 step=6 color=#ffffff\n");
    EXPECT_NEAR(canvas.at(6, 3).a, 1.0, 1e-3);
    EXPECT_NEAR(canvas.at(3, 12).a, 1.0, 1e-3);
    EXPECT_EQ(canvas.at(3, 3).a, 0.0f);
    EXPECT_EQ(canvas.at(8, 10).a, 0.0f);
}

TEST(Generators, NoiseSpreadsOverItsRange) {
    double low = 1, high = 0;
    for (int i = 0; i < 400; ++i) {
        const double n = fractal_noise(i * 0.37, i * 0.11, 5, 4);
        low = std::min(low, n);
        high = std::max(high, n);
    }
    EXPECT_GE(low, 0.0);
    EXPECT_LE(high, 1.0);
    EXPECT_GT(high - low, 0.5);
    EXPECT_EQ(fractal_noise(3.3, 4.4, 5, 4), fractal_noise(3.3, 4.4, 5, 4));
    EXPECT_NE(fractal_noise(3.3, 4.4, 5, 4), fractal_noise(3.3, 4.4, 6, 4));
}

// --- files -------------------------------------------------------------------------------------

TEST(PictureFiles, KeepEveryPixelInPlaceAndInOrder) {
    TempDir temp;
    // Three columns make BMP rows need padding; each channel differs.
    Picture picture{3, 2, {}};
    for (int i = 0; i < 6; ++i) {
        picture.rgb.insert(picture.rgb.end(),
                           {static_cast<std::uint8_t>(10 + i), static_cast<std::uint8_t>(100 + i),
                            static_cast<std::uint8_t>(200 + i)});
    }
    save_picture(picture, temp.path() / "tiny.bmp");
    const Surface loaded = load_rgb(temp.path() / "tiny.bmp");
    ASSERT_TRUE(loaded);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const Rgb p = pixel(loaded.get(), x, y);
            const int i = y * 3 + x;
            EXPECT_EQ(std::lround(p.r * 255), 10 + i);
            EXPECT_EQ(std::lround(p.g * 255), 100 + i);
            EXPECT_EQ(std::lround(p.b * 255), 200 + i);
        }
    }
    // A JPEG keeps a flat colour close, and saving over a file replaces it whole.
    Picture flat{16, 16, std::vector<std::uint8_t>(16 * 16 * 3)};
    for (std::size_t i = 0; i < flat.rgb.size(); i += 3) {
        flat.rgb[i] = 200;
        flat.rgb[i + 1] = 40;
        flat.rgb[i + 2] = 90;
    }
    save_picture(flat, temp.path() / "flat.jpg");
    save_picture(flat, temp.path() / "flat.jpg");
    const Surface jpeg = load_rgb(temp.path() / "flat.jpg");
    ASSERT_TRUE(jpeg);
    const Rgb centre = pixel(jpeg.get(), 8, 8);
    EXPECT_NEAR(centre.r * 255, 200, 4);
    EXPECT_NEAR(centre.g * 255, 40, 4);
    EXPECT_NEAR(centre.b * 255, 90, 4);
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "flat.jpg.part"));
}
