// What the program shows, pinned pixel for pixel to reviewed pictures in
// tests/data/golden: the playfield of a fixed sortie, every screen, and the game
// window before and during a sortie. The reference checker itself comes first.

#include "app/Form1.h"
#include "app/Form5.h"
#include "app/Form6.h"
#include "app/Screens.h"
#include "app/StoryPage.h"
#include "app/frmMain.h"
#include "app/sim.h"
#include "engine/sys/rnd.h"
#include "platform/legacy/events.h"
#include "platform/legacy/headless_window_system.h"
#include "platform/legacy/input.h"
#include "platform/legacy/media.h"
#include "platform/legacy/virtual_keys.h"
#include "platform/system/clock.h"
#include "platform/system/image.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_input.h"
#include "tests/support/frame_end_keys.h"
#include "tests/support/game_data.h"
#include "tests/support/golden.h"
#include "tests/support/recording_media_player.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kSheet = game_sheet_file();

// A folder of its own for each test.
class WithScratchDir : public ::testing::Test {
  protected:
    ScratchDir scratch{"skarvelin-golden"};
    const fs::path& dir = scratch.path();
};

// ---- The reference checker

class GoldenCheck : public WithScratchDir {
  protected:
    void SetUp() override {
        reference = dir / "small.png";
        picture.fill(0x00102030);
        platform::save_png(picture, reference.string());
    }
    std::string failure_text() {
        const auto result = golden::matches_reference(picture, reference);
        EXPECT_FALSE(result);
        return result.message();
    }

    ScopedEnv not_updating_{"SKARVELIN_UPDATE_GOLDEN", nullptr};
    platform::Bitmap picture{4, 3};
    fs::path reference;
};

TEST_F(GoldenCheck, AnEqualPictureMatchesAndLeavesNothingBehind) {
    std::ofstream(golden::actual_path(reference)) << "left from an earlier failure";
    // The top byte is never shown and a PNG does not keep it.
    picture.set_pixel(1, 1, 0xFF102030);
    EXPECT_TRUE(golden::matches_reference(picture, reference));
    EXPECT_FALSE(fs::exists(golden::actual_path(reference)));
}

TEST_F(GoldenCheck, DifferencesAreCountedLocatedAndThePictureKept) {
    picture.set_pixel(2, 0, 0x00FF0000);
    picture.set_pixel(1, 2, 0x000000FF);
    const std::string text = failure_text();
    EXPECT_NE(text.find("2 of 4 x 3 pixels differ, within x 1..2, y 0..2"), std::string::npos)
        << text;
    EXPECT_NE(text.find("first at (2, 0): reference 0x102030, picture 0xFF0000"), std::string::npos)
        << text;
    const auto kept = platform::load_image_file(golden::actual_path(reference).string());
    EXPECT_EQ(kept->pixel(2, 0), 0x00FF0000u);
    EXPECT_EQ(kept->pixel(1, 2), 0x000000FFu);
}

TEST_F(GoldenCheck, AMissingReferenceSaysHowToMakeIt) {
    reference = dir / "none.png";
    const std::string text = failure_text();
    EXPECT_NE(text.find("no reference picture"), std::string::npos) << text;
    EXPECT_NE(text.find("SKARVELIN_UPDATE_GOLDEN=1"), std::string::npos) << text;
    EXPECT_TRUE(fs::exists(golden::actual_path(reference)));
}

TEST_F(GoldenCheck, AnotherSizeOrAnUnreadableReferenceFailsClearly) {
    platform::save_png(platform::Bitmap(3, 4), reference.string());
    EXPECT_NE(failure_text().find("the reference is 3 x 4, the picture 4 x 3"), std::string::npos);

    std::ofstream(reference, std::ios::trunc) << "not a picture";
    EXPECT_NE(failure_text().find("unreadable reference"), std::string::npos);

    EXPECT_FALSE(golden::matches_reference(platform::Bitmap(4, 3, 8), reference));
}

TEST_F(GoldenCheck, UpdatingRewritesTheReferenceOnPurpose) {
    reference = dir / "new" / "made.png";
    ScopedEnv updating("SKARVELIN_UPDATE_GOLDEN", "1");
    picture.set_pixel(0, 0, 0x00ABCDEF);
    EXPECT_TRUE(golden::matches_reference(picture, reference));
    EXPECT_EQ(platform::load_image_file(reference.string())->pixel(0, 0), 0x00ABCDEFu);
    EXPECT_FALSE(fs::exists(golden::actual_path(reference)));
}

// ---- The playfield of a fixed sortie, as the headless runner draws it

class PlayfieldPictures : public WithScratchDir {
  protected:
    // Fire held throughout; the keypad's 2 as well in frames 40 to 45 brings the
    // fighter down into the path of two enemies. In frame 80 one of them explodes
    // on the fighter's nose and the other passes beneath it: what lies on top
    // shows the order of drawing.
    std::string write_input(int frames) const {
        const fs::path path = dir / "input.txt";
        std::ofstream script(path);
        for (int frame = 1; frame <= frames; ++frame) {
            script << platform::vk::kZ;
            if (frame >= 40 && frame <= 45) {
                script << ' ' << platform::vk::kNumpad2;
            }
            script << '\n';
        }
        return path.string();
    }

    // The playfield at the end of `frame`, or null when the runner failed.
    std::shared_ptr<platform::Bitmap> playfield_after(int frame) {
        const std::string n = std::to_string(frame);
        std::ostringstream out, err;
        const int status =
            app::run_sim({"--frames", n, "--seed", "7", "--input", write_input(frame), "--png",
                          dir.string(), "--png-every", n, "--sheet", kSheet},
                         out, err);
        EXPECT_EQ(status, app::kSimOk) << err.str();
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        return status == app::kSimOk ? platform::load_image_file((dir / name).string()) : nullptr;
    }
};

TEST_F(PlayfieldPictures, TwoExplosionsAmongEnemiesAndBursts) {
    const auto frame = playfield_after(25);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(golden::matches_golden(*frame, "playfield-frame-25"));
}

TEST_F(PlayfieldPictures, TheFighterOverAnEnemyAndAnExplosion) {
    const auto frame = playfield_after(80);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(golden::matches_golden(*frame, "playfield-frame-80"));
}

// ---- The screens and the game window, on the window system without a display

// The frame pause's event deliveries, each taking a whole frame's time: the
// pictures do not depend on how often anything reads the clock, and every
// frame's work takes no time on it.
class FramePacedEvents : public platform::EventPump {
  public:
    FramePacedEvents(platform::WindowSystem& windows, platform::FakeClock& clock)
        : windows_(windows), clock_(clock) {}
    void deliver_pending_events() override {
        clock_.advance(kFrameMs);
        windows_.deliver_pending_events();
    }

  private:
    static constexpr uint32_t kFrameMs = 60; // the frame loop's pause
    platform::WindowSystem& windows_;
    platform::FakeClock& clock_;
};

class ScreenPictures : public ::testing::Test {
  protected:
    // What a window shows once it has been shown and its events delivered.
    const platform::Bitmap& shown(platform::Form& form) {
        windows.show(form);
        windows.deliver_pending_events();
        return *windows.client_image(form);
    }

    // Presses S on the shown game window with fire held; the picture it shows at
    // the end of frame `last`, after which Esc ends the program.
    std::optional<platform::Bitmap> sortie_picture(int32_t last) {
        std::optional<platform::Bitmap> picture;
        app::frmMain& game = screens.game();
        keys.at_frame_end = [&] {
            const int32_t frame = game.sortie().frameCt();
            if (frame == last) {
                picture = *windows.client_image(game);
            }
            if (frame >= last) {
                keys.press(platform::vk::kEsc);
            }
        };
        keys.press(platform::vk::kZ);
        windows.key_down(platform::vk::kS);
        try {
            windows.deliver_pending_events();
            ADD_FAILURE() << "the sortie did not end";
        } catch (const platform::ProgramExit& e) {
            EXPECT_EQ(e.status, 0);
        }
        return picture;
    }

    platform::FakeClock clock{1000};
    platform::HeadlessWindowSystem windows{clock, platform::advance_on_wait(clock)};
    FramePacedEvents events{windows, clock};
    FrameEndKeys keys;
    platform::FakeJoystick joystick;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{7, false};
    app::Services services{clock, keys, joystick, events,
                           media, rnd,  &windows, [](std::string_view) { return kSheet; }};
    app::Screens screens{services};
};

TEST_F(ScreenPictures, Title) {
    EXPECT_TRUE(golden::matches_golden(shown(screens.form1()), "screen-form1-title"));
}

// The story pages' pictures are JPEG: Windows' build decodes them with stb_image, whose
// colour conversion rounds up to 2 away from libjpeg's.
#ifdef _WIN32
constexpr int kJpegDecoderTolerance = 2;
#else
constexpr int kJpegDecoderTolerance = 0;
#endif

TEST_F(ScreenPictures, StoryPages) {
    const int tolerance = kJpegDecoderTolerance;
    EXPECT_TRUE(golden::matches_golden(shown(screens.form2()), "screen-form2-world1", tolerance));
    EXPECT_TRUE(golden::matches_golden(shown(screens.form3()), "screen-form3-world2", tolerance));
    EXPECT_TRUE(golden::matches_golden(shown(screens.form4()), "screen-form4-world3", tolerance));
}

TEST_F(ScreenPictures, Briefing) {
    EXPECT_TRUE(golden::matches_golden(shown(screens.form5()), "screen-form5-briefing"));
}

TEST_F(ScreenPictures, AircraftSheet) {
    EXPECT_TRUE(golden::matches_golden(shown(screens.form6()), "screen-form6-aircraft"));
}

// Shown in Japanese, the title changes to English at once; the screens opened afterwards
// are English from the start.
TEST_F(ScreenPictures, InEnglish) {
    shown(screens.form1());
    screens.choose_language(platform::Language::English);
    EXPECT_TRUE(golden::matches_golden(shown(screens.form1()), "screen-form1-title-en"));
    EXPECT_TRUE(golden::matches_golden(shown(screens.form3()), "screen-form3-world2-en",
                                       kJpegDecoderTolerance));
    EXPECT_TRUE(golden::matches_golden(shown(screens.form5()), "screen-form5-briefing-en"));
    EXPECT_TRUE(golden::matches_golden(shown(screens.form6()), "screen-form6-aircraft-en"));
}

TEST_F(ScreenPictures, GameWindowLoadedAndWaitingForTheStart) {
    EXPECT_TRUE(golden::matches_golden(shown(screens.game()), "screen-frmmain-loaded"));
}

TEST_F(ScreenPictures, GameWindowDuringASortie) {
    shown(screens.game());
    const auto picture = sortie_picture(25);
    ASSERT_TRUE(picture.has_value()) << "frame 25 never ended";
    EXPECT_TRUE(golden::matches_golden(*picture, "screen-frmmain-frame-25"));
}

} // namespace
