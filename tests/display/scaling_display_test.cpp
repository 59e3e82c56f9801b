// Magnified windows on a real X server (Xvfb, 1280 x 1024, with and without
// openbox): SKARVELIN_SCALE=2 doubles a window, its shape and its position while
// the form keeps its own pixels; F11 shows the focused window magnified on the
// whole screen and brings it back as it was. Each test starts its own Xvfb.

#include "platform/legacy/virtual_keys.h"
#include "platform/sdl/window_system.h"
#include "platform/system/image.h"
#include "tests/display/x_session.h"
#include "tests/support/scoped_env.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using platform::Form;
using platform::PictureBox;
using platform::RoundRegion;
using platform::SdlWindowSystem;

namespace {

constexpr uint32_t kRgb = 0x00FFFFFF;
constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kButtonFace = 0x00C0C0C0;
const RoundRegion kOutline{4, 4, 548, 347, 63, 63};

// A rounded window with a rounded playfield and a button; nothing in it is black.
struct ScaledForm : Form {
    ScaledForm() : Form("scaled window") {
        back_color = platform::rgb(255, 255, 255);
        region = kOutline;
        drags_window = true;
        key_preview = true;
        stage.back_color = platform::rgb(0, 255, 0);
        stage.cls();
        stage.region = RoundRegion{0, 0, 512, 300, 62, 62};
        add(stage);
        add(button);
        on_mouse_down = [this](int) { ++presses; };
        stage.on_mouse_down = [this](int) { ++stage_presses; };
        button.on_click = [this] { ++clicks; };
        on_key_down = [this](int16_t& code, int) { keys.push_back(code); };
    }
    PictureBox stage{19, 34, 512, 300};
    platform::Button button{200, 4, 100, 26, ""};
    int presses = 0, stage_presses = 0, clicks = 0;
    std::vector<int> keys;
};

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Geometry&) const = default;
};

void PrintTo(const Geometry& g, std::ostream* os) {
    *os << g.width << "x" << g.height << "+" << g.x << "+" << g.y;
}

// SKARVELIN_SCALE for the window system, and with or without a window manager.
struct Setup {
    const char* scale;
    bool window_manager;
};

class Scaled : public ::testing::TestWithParam<Setup> {
  protected:
    void pump(int ms) {
        const uint64_t end = SDL_GetTicks64() + static_cast<uint64_t>(ms);
        while (SDL_GetTicks64() < end) {
            windows->deliver_pending_events();
            SDL_Delay(5);
        }
    }
    unsigned long native(const Form& f) const { return windows->native_window(f); }
    // The window's place and size as the X server has them.
    Geometry geometry(const Form& f) const {
        const std::string info = x.run("xwininfo -id " + std::to_string(native(f)));
        Geometry g;
        const auto p = x.position(native(f));
        if (p) {
            g.x = p->first;
            g.y = p->second;
        }
        std::istringstream lines(info);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.find("  Width: ") == 0) {
                g.width = std::stoi(line.substr(9));
            } else if (line.find("  Height: ") == 0) {
                g.height = std::stoi(line.substr(10));
            }
        }
        return g;
    }
    std::string shape_extents(const Form& f) const {
        const std::string info = x.run("xwininfo -shape -id " + std::to_string(native(f)));
        const size_t at = info.find("Window shape extents:");
        return at == std::string::npos ? info : info.substr(at, info.find('\n', at) - at);
    }
    std::shared_ptr<platform::Bitmap> screenshot(const std::string& name) {
        const std::string dir = std::string(SKARVELIN_BINARY_DIR) + "/display-shots";
        std::filesystem::create_directories(dir);
        const std::string file =
            dir + "/" + name + (GetParam().window_manager ? "-wm" : "-bare") + ".png";
        x.run("import -window root png:" + file);
        return platform::load_image_file(file);
    }
    void click_at(int sx, int sy) {
        x.run("xdotool mousemove " + std::to_string(sx) + " " + std::to_string(sy) + " click 1");
        pump(250);
    }
    void key(const std::string& name) {
        x.run("xdotool key " + name);
        pump(500);
    }

    ScopedEnv video_driver{"SDL_VIDEODRIVER", "x11"};
    ScopedEnv scale{"SKARVELIN_SCALE", GetParam().scale};
    xtest::XSession x{GetParam().window_manager};
    std::unique_ptr<SdlWindowSystem> windows = std::make_unique<SdlWindowSystem>();
};

std::string setup_name(const ::testing::TestParamInfo<Setup>& setup) {
    return std::string(setup.param.scale ? setup.param.scale : "DisplayScale") +
           (setup.param.window_manager ? "WithWindowManager" : "WithoutWindowManager");
}

// Whether every pixel of a screen area is black exactly where the outline, magnified
// `factor` times from (left, top), does not reach; counts the pixels that are not.
// The button, whose frame has black lines, is left out.
int outline_mismatches(const platform::Bitmap& shot, int left, int top, int factor) {
    int wrong = 0;
    for (int y = 0; y < 349 * factor; ++y) {
        for (int x = 0; x < 549 * factor; ++x) {
            if (x / factor >= 200 && x / factor < 300 && y / factor < 30) {
                continue;
            }
            const bool black = (shot.pixel(left + x, top + y) & kRgb) == 0;
            wrong += black == kOutline.contains(x / factor, y / factor);
        }
    }
    return wrong;
}

class ScaleTwo : public Scaled {};
class Fullscreen : public Scaled {};

} // namespace

INSTANTIATE_TEST_SUITE_P(X11, ScaleTwo, ::testing::Values(Setup{"2", false}, Setup{"2", true}),
                         setup_name);
INSTANTIATE_TEST_SUITE_P(X11, Fullscreen,
                         ::testing::Values(Setup{nullptr, false}, Setup{nullptr, true},
                                           Setup{"2", true}),
                         setup_name);

TEST_P(ScaleTwo, TheWindowIsTheFormMagnifiedCentredAndCutToItsOutlineMagnified) {
    ScaledForm f;
    windows->show(f);
    pump(300);
    ASSERT_TRUE(windows->is_shaped(f));
    const int left = (xtest::XSession::kWidth - 1098) / 2,
              top = (xtest::XSession::kHeight - 698) / 2;
    EXPECT_EQ(geometry(f), (Geometry{left, top, 1098, 698}));
    EXPECT_EQ(shape_extents(f), "Window shape extents:  1088x686+8+8");

    const auto shot = screenshot("scaled-window");
    EXPECT_EQ(outline_mismatches(*shot, left, top, 2), 0);
    // Every client pixel is a 2 x 2 block: the playfield's cut corner is white, the
    // pixel beside it green.
    const auto at = [&](int wx, int wy) { return shot->pixel(left + wx, top + wy) & kRgb; };
    for (int d = 0; d < 2; ++d) {
        EXPECT_EQ(at(2 * 19 + d, 2 * 34 + d), kWhite);
        EXPECT_EQ(at(2 * 275 + d, 2 * 150 + d), kGreen);
    }
    EXPECT_EQ(at(2 * 201, 2 * 5), kButtonFace & kRgb);
}

TEST_P(ScaleTwo, PressesReachTheClientPointUnderThePointer) {
    ScaledForm f;
    windows->show(f);
    pump(300);
    const auto [wx, wy, w, h] = geometry(f);
    click_at(wx + 2 * 275, wy + 2 * 150);
    EXPECT_EQ(f.stage_presses, 1);
    click_at(wx + 2 * 250 + 1, wy + 2 * 15 + 1);
    EXPECT_EQ(f.clicks, 1);
    // (210, 12) of the window is (105, 6) of the client: the background, not the button.
    // Last, since under openbox a click that drags swallows the next one.
    click_at(wx + 210, wy + 12);
    EXPECT_EQ(f.clicks, 1);
    EXPECT_EQ(f.presses, 1);
    // The move began after the button was up, so openbox would hold the pointer and the
    // keyboard until the window goes; Escape ends it first.
    key("Escape");
}

TEST_P(ScaleTwo, DraggingMovesTheWindowByScreenPixels) {
    ScaledForm f;
    windows->show(f);
    pump(300);
    const auto [wx, wy, w, h] = geometry(f);
    x.run("xdotool mousemove " + std::to_string(wx + 100) + " " + std::to_string(wy + 40));
    pump(100);
    x.run("xdotool mousedown 1");
    pump(150);
    for (int step = 1; step <= 4; ++step) {
        x.run("xdotool mousemove " + std::to_string(wx + 100 + 15 * step) + " " +
              std::to_string(wy + 40 + 10 * step));
        pump(60);
    }
    x.run("xdotool mouseup 1");
    pump(200);
    EXPECT_EQ(geometry(f), (Geometry{wx + 60, wy + 40, w, h}));
    EXPECT_EQ(f.presses, 1);
}

TEST_P(Fullscreen, F11FillsTheScreenAndF11AgainRestoresTheWindow) {
    ScaledForm f;
    windows->show(f);
    pump(300);
    const Geometry windowed = geometry(f);
    const std::string windowed_shape = shape_extents(f);
    key("s F11");
    EXPECT_EQ(geometry(f), (Geometry{0, 0, 1280, 1024}));
    EXPECT_EQ(shape_extents(f), "Window shape extents:  1280x1024+0+0");

    // The client doubled (the largest whole factor that fits), centred on black.
    const auto shot = screenshot("fullscreen");
    EXPECT_EQ(outline_mismatches(*shot, 91, 163, 2), 0);
    EXPECT_EQ(shot->pixel(40, 40) & kRgb, 0u);
    EXPECT_EQ(shot->pixel(1240, 1000) & kRgb, 0u);
    EXPECT_EQ(shot->pixel(91 + 2 * 275, 163 + 2 * 150) & kRgb, kGreen);

    // Presses map through the factor and the offset; around the client they hit nothing,
    // and nothing drags.
    click_at(91 + 2 * 250, 163 + 2 * 15);
    EXPECT_EQ(f.clicks, 1);
    click_at(40, 40);
    click_at(91 + 4, 163 + 4); // the outline's cut corner
    EXPECT_EQ(f.presses, 0);
    x.run("xdotool mousemove 700 200 mousedown 1");
    pump(100);
    x.run("xdotool mousemove 760 260");
    pump(100);
    x.run("xdotool mouseup 1");
    pump(200);
    EXPECT_EQ(f.presses, 1);
    EXPECT_EQ(geometry(f), (Geometry{0, 0, 1280, 1024}));

    key("F11");
    EXPECT_EQ(geometry(f), windowed);
    EXPECT_EQ(shape_extents(f), windowed_shape);
    const auto back = screenshot("after-fullscreen");
    EXPECT_EQ(back->pixel(40, 40) & kRgb, 0u);
    const int factor = windowed.width / 549;
    EXPECT_EQ(outline_mismatches(*back, windowed.x, windowed.y, factor), 0);
    // The form heard the keys around F11, never F11 itself.
    EXPECT_EQ(f.keys, (std::vector<int>{platform::vk::kS}));
}

namespace {

// SKARVELIN_SCALE values that cannot be used, and what becomes of them.
class ScaleText : public ::testing::Test {
  protected:
    // The window's width, and what the window system said on stderr while starting.
    std::pair<int, std::string> open_with(const char* value) {
        ScopedEnv asked("SKARVELIN_SCALE", value);
        ::testing::internal::CaptureStderr();
        auto windows = std::make_unique<SdlWindowSystem>();
        ScaledForm f;
        windows->show(f);
        int width = 0, height = 0;
        SDL_GetWindowSize(SDL_GetWindowFromID(windows->sdl_window_id(f)), &width, &height);
        windows.reset();
        return {width, ::testing::internal::GetCapturedStderr()};
    }
    ScopedEnv video_driver{"SDL_VIDEODRIVER", "x11"};
    xtest::XSession x{false};
};

} // namespace

TEST_F(ScaleText, ValuesThatAreNotWholeNumbersFromOneAreSaidAndIgnored) {
    for (const char* value : {"0", "-1", "abc", "2.5", ""}) {
        const auto [width, said] = open_with(value);
        EXPECT_EQ(width, 549) << value; // the display's factor on 1280 x 1024
        EXPECT_NE(said.find("SKARVELIN_SCALE=\"" + std::string(value) + "\""), std::string::npos)
            << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
    EXPECT_EQ(open_with(nullptr), std::make_pair(549, std::string()));
}

TEST_F(ScaleText, AFactorLargerThanTheScreenIsCappedToIt) {
    const auto [width, said] = open_with("5");
    EXPECT_EQ(width, 1098);
    EXPECT_NE(said.find("SKARVELIN_SCALE=5"), std::string::npos) << said;
}
