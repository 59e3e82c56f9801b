// The game window headless: its keys, title, counters and the sortie's frame loop.

#include "app/frmMain.h"
#include "platform/events.h"

#include <gtest/gtest.h>

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

// Runs a callback at the sortie's fixed points.
class Script : public app::SortieObserver {
  public:
    std::function<void(int32_t frame)> after_frame;
    std::function<void()> prepared;
    frmMain* game = nullptr;
    void sortie_prepared() override {
        if (prepared) {
            prepared();
        }
    }
    void frame_counted() override {
        if (after_frame) {
            after_frame(game->frameCt);
        }
    }
};

struct GameWindow : ::testing::Test {
    platform::FakeClock clock{1000, 1};
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    CountingEvents events;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{7, false};
    app::Services services{
        clock, keys, joystick, events,
        media, rnd,  nullptr,  [](std::string_view) -> std::string { return "/nonexistent.gif"; }};
    frmMain game{services};
    Script script;

    void SetUp() override {
        script.game = &game;
        game.set_observer(&script);
        game.Form_Load();
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
        script.after_frame = [this, last](int32_t frame) {
            if (frame == last) {
                keys.press(27);
            }
        };
        EXPECT_TRUE(key(83));
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
    EXPECT_EQ(app::title_text(false), "Skarvelin 1.01");
    EXPECT_EQ(app::title_text(true), "Skarvelin 1.01 N");
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

TEST_F(GameWindow, LoadWritesTheTitleAndStartsTheMusic) {
    for (const auto& label : game.lblTitle) {
        EXPECT_EQ(label.text(), "Skarvelin 1.01");
    }
    EXPECT_EQ(game.lblMyBt.text(), "MB0000");
    EXPECT_EQ(game.lblInfo.text(), "000 msec 000 bps");
    ASSERT_EQ(media.commands.size(), 2u);
    EXPECT_EQ(media.commands[0], "open c:\\risinghigh.wav type WaveAudio alias sov");
    EXPECT_EQ(media.commands[1], "play sov");
    EXPECT_EQ(game.fldStage->Width(), 512);
    EXPECT_EQ(game.fldStage->Height(), 300);
}

TEST_F(GameWindow, NSwitchesUnpacedModeBackAndForth) {
    int16_t code = 78;
    game.Form_KeyDown(code, 0);
    EXPECT_TRUE(game.noWait);
    EXPECT_EQ(code, 78); // passed on unchanged
    for (const auto& label : game.lblTitle) {
        EXPECT_EQ(label.text(), "Skarvelin 1.01 N");
    }
    game.Form_KeyDown(code, 0);
    EXPECT_FALSE(game.noWait);
    EXPECT_EQ(game.lblTitle[2].text(), "Skarvelin 1.01");
}

TEST_F(GameWindow, OtherKeysAreSwallowed) {
    int16_t code = 65;
    game.Form_KeyDown(code, 0);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(game.busy);
}

TEST_F(GameWindow, EscBeforeTheSortieEndsTheProgramWithTheMusicClosed) {
    EXPECT_TRUE(key(27));
    EXPECT_EQ(media.commands.back(), "close all");
}

TEST_F(GameWindow, StartIsIgnoredWhileBusy) {
    game.busy = true;
    EXPECT_FALSE(key(83));
    EXPECT_FALSE(key(113));
    EXPECT_EQ(game.frameCt, 0);
}

TEST_F(GameWindow, TimerShowsTheGroupCounts) {
    for (int i = 0; i < 7; ++i) {
        game.grpEne->Add(std::make_shared<nox::clsNoxCharacter>());
    }
    game.timSystem_Timer();
    EXPECT_EQ(game.lblEne.text(), "EN0007");
    EXPECT_EQ(game.lblMyBt.text(), "MB0000");
    EXPECT_EQ(game.lblEneBt.text(), "EB0000");
}

TEST_F(GameWindow, FirstFramePrintsItsCountOverThePlacedAircraft) {
    script.prepared = [this] {
        EXPECT_FLOAT_EQ(game.chrMy->Left(), 10);
        EXPECT_FLOAT_EQ(game.chrMy->Top(), 132);
        EXPECT_EQ(game.chrMy->PtNo(), 2);
        EXPECT_EQ(game.frameCt, 0);
    };
    script.after_frame = [this](int32_t frame) {
        EXPECT_EQ(frame, 1);
        // " 1 " in green at (10, 10) on the visible playfield.
        EXPECT_TRUE(has_green_text(game.picStage->screen(), 10, 10, 40, 30));
        EXPECT_FALSE(has_green_text(game.picStage->screen(), 60, 60, 512, 300));
        keys.press(27);
    };
    EXPECT_TRUE(key(83));
    EXPECT_EQ(game.frameCt, 1);
    EXPECT_FALSE(game.key_preview);
}

TEST_F(GameWindow, PacedFramesPauseDeliveringEventsUnpacedOnesNever) {
    run_sortie(5);
    EXPECT_EQ(game.frameCt, 5);
    const long paced = events.deliveries;
    EXPECT_GE(paced, 5 + 2); // at least one per pause, plus two in ProgramEnd
}

TEST_F(GameWindow, UnpacedFramesDeliverNoEventsButUpdateTheInfo) {
    int16_t n = 78;
    game.Form_KeyDown(n, 0);
    std::vector<std::string> infos;
    script.after_frame = [&](int32_t frame) {
        infos.push_back(game.lblInfo.text());
        EXPECT_EQ(events.deliveries, 0);
        if (frame == 4) {
            keys.press(27);
        }
    };
    EXPECT_TRUE(key(83));
    EXPECT_EQ(game.frameCt, 4);
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
    script.after_frame = [this](int32_t frame) {
        if (frame == 2) {
            events.on_delivery = [this] {
                keys.press(27);
                keys.release(27); // released again before the test
                events.on_delivery = nullptr;
            };
        }
    };
    EXPECT_TRUE(key(83));
    EXPECT_EQ(game.frameCt, 2);
    EXPECT_EQ(media.commands.back(), "close all");
    EXPECT_EQ(game.fldStage, nullptr); // released by ProgramEnd
}

TEST(GameWindowSortie, SeedsTheGeneratorFromTheTimeOfDay) {
    platform::FakeClock clock{0, 1};
    clock.midnight_seconds = 3600.25;
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    platform::NoEvents events;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd game_rnd(99, true);
    app::Services s{clock, keys,     joystick, events,
                    media, game_rnd, nullptr,  [](std::string_view) { return std::string(); }};
    frmMain game(s);
    Script stop;
    stop.game = &game;
    float next_draw = -1;
    stop.prepared = [&] {
        EXPECT_EQ(game_rnd.draws(), 117); // three per star
        next_draw = game_rnd.next();
        keys.press(27);
    };
    game.set_observer(&stop);
    game.Form_Load();
    int16_t start = 83;
    EXPECT_THROW(game.Form_KeyDown(start, 0), platform::ProgramExit);

    nox::SeededRnd expected(0, true);
    expected.randomize(3600.25);
    for (int i = 0; i < 117; ++i) {
        expected.next();
    }
    EXPECT_EQ(next_draw, expected.next());
}

TEST_F(GameWindow, MissingSheetIsAFileErrorNamingThePlaces) {
    app::Services s{clock, keys, joystick, events, media, rnd, nullptr, app::resolve_game_path};
    setenv("SKARVELIN_DATA", "/nonexistent-skarvelin-data", 1);
    frmMain other(s);
    other.Form_Load();
    try {
        other.Form_Activate();
        ADD_FAILURE() << "no error";
    } catch (const nox::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("nonexistent-skarvelin-data"), std::string::npos)
            << e.what();
    }
    unsetenv("SKARVELIN_DATA");
}
