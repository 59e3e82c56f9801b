// The game window headless: its keys, title, counters and the sortie's frame loop.

#include "app/frmMain.h"
#include "app/playfield.h"
#include "app/version.h"
#include "platform/legacy/events.h"
#include "platform/legacy/virtual_keys.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_input.h"
#include "tests/support/frame_end_keys.h"
#include "tests/support/gif_bytes.h"
#include "tests/support/recording_media_player.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

using app::frmMain;

namespace {

class CountingEvents : public platform::EventPump {
  public:
    void deliver_pending_events() override {
        ++deliveries;
        if (on_delivery) {
            on_delivery();
        }
    }
    long deliveries = 0;
    std::function<void()> on_delivery;
};

struct GameWindow : ::testing::Test {
    platform::FakeClock clock{1000, 1};
    FrameEndKeys keys;
    platform::FakeJoystick joystick;
    CountingEvents events;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{7, false};
    app::Services services{
        clock, keys, joystick, events,
        media, rnd,  nullptr,  [](std::string_view) -> std::string { return "/nonexistent.gif"; }};
    frmMain game{services};

    void SetUp() override { game.Form_Load(); }
    int32_t frames() const { return game.sortie().frameCt(); }
    // Runs `after_frame` with the frame's number at the end of every frame.
    void after_each_frame(std::function<void(int32_t frame)> after_frame) {
        keys.at_frame_end = [this, after_frame] { after_frame(frames()); };
    }
    // Presses a key on the window; true when the program ended.
    bool key(int16_t code) {
        try {
            game.Form_KeyDown(code, 0);
        } catch (const platform::ProgramExit& e) {
            EXPECT_EQ(e.status, 0);
            return true;
        }
        return false;
    }
    // Runs a sortie that ends with Esc held from the end of frame `last`.
    void run_sortie(int32_t last) {
        after_each_frame([this, last](int32_t frame) {
            if (frame == last) {
                keys.press(platform::vk::kEsc);
            }
        });
        EXPECT_TRUE(key(platform::vk::kS));
    }
    // Green text, smoothed over whatever lies beneath it.
    static bool has_green_text(const platform::Bitmap& b, int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const uint32_t p = b.pixel(x, y);
                if (((p >> 8) & 255) > 150 && (p >> 16 & 255) < 60 && (p & 255) < 60) {
                    return true;
                }
            }
        }
        return false;
    }
};

} // namespace

TEST(GameWindowTexts, TitleAndCounters) {
    EXPECT_EQ(app::version_title(1, 1), "Skarvelin 1.01");
    EXPECT_EQ(app::version_title(2, 10), "Skarvelin 2.10");
    EXPECT_EQ(app::title_text(false), app::version_title(app::kVersionMajor, app::kVersionMinor));
    EXPECT_EQ(app::title_text(true), app::title_text(false) + " N");
    EXPECT_EQ(app::counter_text("EN", 7), "EN0007");
    EXPECT_EQ(app::counter_text("MB", 17), "MB0017");
}

TEST(GameWindowTexts, FrameTimeAndRate) {
    EXPECT_EQ(app::info_text(16), "016 msec 063 bps");
    EXPECT_EQ(app::info_text(1250), "1250 msec 001 bps");
    EXPECT_EQ(app::info_text(2500), "2500 msec 000 bps");
    EXPECT_EQ(app::info_text(60), "060 msec 017 bps");
    EXPECT_EQ(app::info_text(0), "000 msec --- bps");
}

TEST_F(GameWindow, EveryCounterTextFitsItsLabel) {
    const platform::Font font = app::game_window_font();
    // The widest frame times: a rate of four digits, a time of four or more digits.
    for (int32_t t : {0, 1, 16, 999, 1000, 1250, 9999, 99999, 9999999}) {
        const std::string text = app::info_text(t);
        EXPECT_LE(platform::text_width(text, font), game.lblInfo.width) << text;
    }
    // A group holds at most 32767 characters.
    for (platform::Label* label : {&game.lblMyBt, &game.lblEne, &game.lblEneBt}) {
        EXPECT_LE(platform::text_width(app::counter_text("EB", 32767), font), label->width);
    }
}

TEST_F(GameWindow, LoadWritesTheTitleAndStartsTheMusic) {
    for (const auto& label : game.lblTitle) {
        EXPECT_EQ(label.text(), app::title_text(false));
    }
    EXPECT_EQ(game.lblMyBt.text(), "MB0000");
    EXPECT_EQ(game.lblInfo.text(), "000 msec 000 bps");
    ASSERT_EQ(media.commands.size(), 2u);
    EXPECT_EQ(media.commands[0], "open c:\\risinghigh.wav type WaveAudio alias sov");
    EXPECT_EQ(media.commands[1], "play sov");
    EXPECT_EQ(game.sortie().fldStage()->Width(), 512);
    EXPECT_EQ(game.sortie().fldStage()->Height(), 300);
}

TEST_F(GameWindow, NSwitchesUnpacedModeBackAndForth) {
    int16_t code = platform::vk::kN;
    game.Form_KeyDown(code, 0);
    EXPECT_TRUE(game.noWait);
    EXPECT_EQ(code, platform::vk::kN); // passed on unchanged
    for (const auto& label : game.lblTitle) {
        EXPECT_EQ(label.text(), app::title_text(true));
    }
    game.Form_KeyDown(code, 0);
    EXPECT_FALSE(game.noWait);
    EXPECT_EQ(game.lblTitle[2].text(), app::title_text(false));
}

TEST_F(GameWindow, OtherKeysAreSwallowed) {
    int16_t code = 65;
    game.Form_KeyDown(code, 0);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(game.busy);
}

TEST_F(GameWindow, EscBeforeTheSortieEndsTheProgramWithTheMusicClosed) {
    EXPECT_TRUE(key(platform::vk::kEsc));
    EXPECT_EQ(media.commands.back(), "close all");
}

TEST_F(GameWindow, StartIsIgnoredWhileBusy) {
    game.busy = true;
    EXPECT_FALSE(key(platform::vk::kS));
    EXPECT_FALSE(key(platform::vk::kF2));
    EXPECT_EQ(frames(), 0);
}

TEST_F(GameWindow, TimerShowsTheGroupCounts) {
    for (int i = 0; i < 7; ++i) {
        game.sortie().grpEne()->Add(std::make_shared<nox::clsNoxCharacter>());
    }
    game.timSystem_Timer();
    EXPECT_EQ(game.lblEne.text(), "EN0007");
    EXPECT_EQ(game.lblMyBt.text(), "MB0000");
    EXPECT_EQ(game.lblEneBt.text(), "EB0000");
}

TEST_F(GameWindow, FirstFramePrintsItsCountOverThePlacedAircraft) {
    after_each_frame([this](int32_t frame) {
        EXPECT_EQ(frame, 1);
        const nox::clsNoxCharacter& my = *game.sortie().chrMy();
        EXPECT_FLOAT_EQ(my.Left(), 10);
        EXPECT_FLOAT_EQ(my.Top(), 132);
        EXPECT_EQ(my.PtNo(), 2);
        // " 1 " in green at (10, 10) on the visible playfield.
        EXPECT_TRUE(has_green_text(game.picStage->screen(), 10, 10, 40, 30));
        EXPECT_FALSE(has_green_text(game.picStage->screen(), 60, 60, 512, 300));
        keys.press(platform::vk::kEsc);
    });
    EXPECT_TRUE(key(platform::vk::kS));
    EXPECT_EQ(frames(), 1);
    EXPECT_FALSE(game.key_preview);
}

TEST_F(GameWindow, PacedFramesPauseDeliveringEventsUnpacedOnesNever) {
    run_sortie(5);
    EXPECT_EQ(frames(), 5);
    const long paced = events.deliveries;
    EXPECT_GE(paced, 5 + 2); // at least one per pause, plus two in ProgramEnd
}

TEST_F(GameWindow, UnpacedFramesDeliverNoEventsButUpdateTheInfo) {
    int16_t n = platform::vk::kN;
    game.Form_KeyDown(n, 0);
    std::vector<std::string> infos;
    after_each_frame([&](int32_t frame) {
        infos.push_back(game.lblInfo.text());
        EXPECT_EQ(events.deliveries, 0);
        if (frame == 4) {
            keys.press(platform::vk::kEsc);
        }
    });
    EXPECT_TRUE(key(platform::vk::kS));
    EXPECT_EQ(frames(), 4);
    EXPECT_EQ(events.deliveries, 2); // only ProgramEnd's
    EXPECT_EQ(infos.size(), 4u);
}

TEST_F(GameWindow, PacedFrameTimeExcludesThePause) {
    // Each clock reading moves 1 ms; the 60 ms pause must not show in the next frame's time.
    run_sortie(3);
    const std::string info = game.lblInfo.text();
    const int shown = std::stoi(info.substr(0, info.find(' ')));
    EXPECT_LT(shown, 60) << info;
}

TEST_F(GameWindow, EscTappedDuringAFrameEndsTheLoopAfterItsPause) {
    after_each_frame([this](int32_t frame) {
        if (frame == 1) { // tapped during frame 2's pause
            events.on_delivery = [this] {
                keys.press(platform::vk::kEsc);
                keys.release(platform::vk::kEsc); // released again before the test
                events.on_delivery = nullptr;
            };
        }
    });
    EXPECT_TRUE(key(platform::vk::kS));
    EXPECT_EQ(frames(), 2);
    EXPECT_EQ(media.commands.back(), "close all");
    EXPECT_EQ(game.sortie().fldStage(), nullptr); // released by ProgramEnd
}

// A seeded generator that remembers what it handed out.
class RecordingRnd : public nox::SeededRnd {
  public:
    using SeededRnd::SeededRnd;
    std::vector<float> handed_out;

  protected:
    float draw() override { return handed_out.emplace_back(SeededRnd::draw()); }
};

TEST_F(GameWindow, SortieSeedsTheGeneratorFromTheTimeOfDay) {
    clock.midnight_seconds = 3600.25;
    RecordingRnd game_rnd(99, true);
    app::Services s{clock, keys,     joystick, events,
                    media, game_rnd, nullptr,  [](std::string_view) { return std::string(); }};
    frmMain other(s);
    other.Form_Load();
    after_each_frame([this](int32_t) { keys.press(platform::vk::kEsc); });
    int16_t start = platform::vk::kS;
    EXPECT_THROW(other.Form_KeyDown(start, 0), platform::ProgramExit);

    ASSERT_GT(game_rnd.handed_out.size(), 117u); // three per star, then frame 1's
    nox::SeededRnd expected(0, true);
    expected.randomize(3600.25);
    for (float drawn : game_rnd.handed_out) {
        EXPECT_EQ(drawn, expected.next());
    }
}

// The FileError another game window's loading sequence raises with these paths.
std::string loading_error(GameWindow& t, std::function<std::string(std::string_view)> resolve) {
    app::Services s{t.clock, t.keys, t.joystick, t.events, t.media, t.rnd, nullptr, resolve};
    frmMain other(s);
    other.Form_Load();
    try {
        other.Form_Activate();
    } catch (const nox::FileError& e) {
        return e.what();
    }
    ADD_FAILURE() << "no error";
    return "";
}

TEST_F(GameWindow, MissingSheetIsAFileErrorNamingThePlaces) {
    ScopedEnv data("SKARVELIN_DATA", "/nonexistent-skarvelin-data");
    const std::string why = loading_error(*this, app::resolve_game_path);
    EXPECT_NE(why.find("nonexistent-skarvelin-data"), std::string::npos) << why;
}

TEST_F(GameWindow, AHostileSheetIsAFileErrorNamingItNotAnOverflow) {
    ScratchDir scratch{"skarvelin-hostile-sheet"};
    const std::string sheet = (scratch.path() / "TarnChar.gif").string();
    std::ofstream(sheet, std::ios::binary) << gif_header_claiming(23200, 23200);
    const std::string why = loading_error(*this, [&](std::string_view) { return sheet; });
    EXPECT_NE(why.find(sheet), std::string::npos) << why;
    EXPECT_NE(why.find("23200 x 23200"), std::string::npos) << why;
}

TEST_F(GameWindow, AnEscTappedBeforeTheStartDoesNotEndTheSortie) {
    keys.press(platform::vk::kEsc);
    keys.release(platform::vk::kEsc);
    run_sortie(3);
    EXPECT_EQ(frames(), 3);
}

TEST_F(GameWindow, TheSpaceBarThatClickedTheBriefingFiresNoBurst) {
    keys.press(platform::vk::kSpace);
    keys.release(platform::vk::kSpace);
    int16_t bullets_after_frame_1 = -1;
    after_each_frame([&](int32_t frame) {
        bullets_after_frame_1 = game.sortie().grpMyBt()->ItemCount();
        keys.press(platform::vk::kEsc);
        EXPECT_EQ(frame, 1);
    });
    EXPECT_TRUE(key(platform::vk::kS));
    EXPECT_EQ(bullets_after_frame_1, 0);
}

TEST_F(GameWindow, OnlyTheBackgroundAndTheTitleDragTheWindow) {
    EXPECT_FALSE(game.drags_at(15, 50));   // the hidden mask copy of the sheet
    EXPECT_FALSE(game.drags_at(530, 338)); // the hidden colour copy
    EXPECT_FALSE(game.drags_at(200, 200)); // the playfield
    EXPECT_TRUE(game.drags_at(540, 200));
    EXPECT_TRUE(game.drags_at(60, 12));
}
