// The chain of screens on the real window system, headless: which windows are
// loaded and visible after each button, and which media commands were sent.
//
// The buttons show the next screen modally, so every click runs inside the loop
// of the one before. A hidden driver window with a 1 ms timer acts from inside
// whatever loop is running: at each tick it records the scene, then pushes the
// next input (keys or a mouse click on a button) into SDL's queue. Input and
// records alternate strictly, and a bound on the ticks ends a stuck run.

#include "app/Form1.h"
#include "app/Form5.h"
#include "app/Form6.h"
#include "app/Screens.h"
#include "app/StoryPage.h"
#include "app/frmMain.h"
#include "engine/sys/rnd.h"
#include "platform/legacy/events.h"
#include "platform/legacy/input.h"
#include "platform/legacy/media.h"
#include "platform/sdl/window_system.h"
#include "platform/system/clock.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_input.h"
#include "tests/support/game_data.h"
#include "tests/support/recording_media_player.h"
#include "tests/support/scoped_env.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using app::ScreenId;

namespace {

constexpr int kScriptDone = 42;
constexpr int kStuck = 43;
constexpr int kMaxTicks = 3000;

const std::vector<std::string> kBriefingMusic = {"open c:\\briefing.wav type WaveAudio alias sov",
                                                 "play sov"};
const std::vector<std::string> kAircraftMusic = {"open c:\\lodestone.wav type WaveAudio alias sov",
                                                 "play sov"};
const std::vector<std::string> kStopMusic = {"close all"};
const std::vector<std::string> kNoMusic = {};

// What the program shows between two inputs.
struct Scene {
    std::vector<ScreenId> loaded;
    std::vector<ScreenId> visible;
    std::vector<std::string> commands; // sent since the scene before
    bool operator==(const Scene&) const = default;
};

const char* name(ScreenId id) {
    static const char* const names[] = {"Title",    "World1",   "World2", "World3",
                                        "Briefing", "Aircraft", "Game"};
    return names[static_cast<int>(id)];
}

void PrintTo(const Scene& s, std::ostream* os) {
    *os << "{loaded:";
    for (ScreenId id : s.loaded) {
        *os << " " << name(id);
    }
    *os << "; visible:";
    for (ScreenId id : s.visible) {
        *os << " " << name(id);
    }
    *os << "; commands:";
    for (const std::string& c : s.commands) {
        *os << " [" << c << "]";
    }
    *os << "}";
}

class ScreensFlow : public ::testing::Test {
  protected:
    ScreensFlow() {
        driver_.timer_interval_ms = 1;
        driver_.on_timer = [this] { tick(); };
        windows.load(driver_);
    }

    // Adds an input: at the next tick the scene is recorded, then `input` runs.
    void then(std::function<void()> input) { steps_.push_back(std::move(input)); }
    // The last input, after which the program is expected to end by itself.
    void finally(std::function<void()> input) {
        then(std::move(input));
        ends_by_itself_ = true;
    }

    // Starts the program at the title screen and runs it to its end: the exit status.
    int run() {
        try {
            screens.start();
            windows.run();
        } catch (const platform::ProgramExit& e) {
            return e.status;
        }
        return -1;
    }

    void key(SDL_Scancode sc) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.scancode = sc;
        SDL_PushEvent(&e);
    }
    // A left click in the middle of a button of a window.
    void click(const platform::Form& form, const platform::Button& button) {
        for (uint32_t type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            SDL_Event e{};
            e.type = type;
            e.button.windowID = windows.sdl_window_id(form);
            e.button.button = SDL_BUTTON_LEFT;
            e.button.x = button.left + button.width / 2;
            e.button.y = button.top + button.height / 2;
            SDL_PushEvent(&e);
        }
    }
    // The current object of a screen, which the script expects to exist.
    template <class Window> Window& current(ScreenId id) {
        auto* w = dynamic_cast<Window*>(screens.existing(id));
        if (!w) {
            ADD_FAILURE() << name(id) << " does not exist";
            platform::end_program(kStuck);
        }
        return *w;
    }
    // Clicks the one button of a screen.
    template <class Window> std::function<void()> next(ScreenId id) {
        return [this, id] {
            auto& w = current<Window>(id);
            click(w, w.Command1);
        };
    }
    std::function<void()> keys(std::vector<SDL_Scancode> codes) {
        return [this, codes] {
            for (SDL_Scancode sc : codes) {
                key(sc);
            }
        };
    }

    Scene scene() {
        Scene s;
        for (int i = 0; i <= static_cast<int>(ScreenId::Game); ++i) {
            const auto id = static_cast<ScreenId>(i);
            if (const platform::Form* f = screens.existing(id); f && windows.is_loaded(*f)) {
                s.loaded.push_back(id);
                if (windows.is_visible(*f)) {
                    s.visible.push_back(id);
                }
            }
        }
        s.commands.assign(media.commands.begin() + static_cast<long>(commands_seen_),
                          media.commands.end());
        commands_seen_ = media.commands.size();
        return s;
    }

    ScopedEnv headless_{"SDL_VIDEODRIVER", "dummy"};
    platform::FakeClock clock{1000, 1};
    platform::FakeKeys fake_keys;
    platform::FakeJoystick joystick;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{7, false};
    platform::SdlWindowSystem windows;
    app::Services services{clock, fake_keys, joystick, windows,
                           media, rnd,       &windows, game_sheet_file};
    app::Screens screens{services};
    std::vector<Scene> scenes;
    // Unloaded screen objects still kept, at each scene.
    std::vector<size_t> kept;

  private:
    void tick() {
        if (++ticks_ > kMaxTicks) {
            ADD_FAILURE() << "the script got stuck after " << scenes.size() << " scenes";
            platform::end_program(kStuck);
        }
        if (next_step_ == steps_.size() && ends_by_itself_) {
            return;
        }
        scenes.push_back(scene());
        kept.push_back(screens.awaiting_destruction());
        if (next_step_ == steps_.size()) {
            platform::end_program(kScriptDone);
        }
        steps_[next_step_++]();
    }

    platform::Form driver_{"driver"};
    std::vector<std::function<void()>> steps_;
    size_t next_step_ = 0;
    bool ends_by_itself_ = false;
    int ticks_ = 0;
    size_t commands_seen_ = 0;
};

Scene at(std::vector<ScreenId> loaded, ScreenId visible, std::vector<std::string> commands) {
    return Scene{std::move(loaded), {visible}, std::move(commands)};
}

} // namespace

TEST_F(ScreensFlow, FromTheTitleThroughTheStoryIntoTheGame) {
    then(keys({SDL_SCANCODE_RETURN})); // "スタート" has the focus
    then(next<app::Form2>(ScreenId::World1));
    then(next<app::Form3>(ScreenId::World2));
    then(next<app::Form4>(ScreenId::World3));
    then(next<app::Form5>(ScreenId::Briefing));
    finally(keys({SDL_SCANCODE_ESCAPE})); // the game window ends the program
    EXPECT_EQ(run(), 0);

    using enum ScreenId;
    const std::vector<std::string> game_music = {
        "close all", "open c:\\risinghigh.wav type WaveAudio alias sov", "play sov"};
    const std::vector<Scene> expected = {
        at({Title}, Title, kNoMusic),
        at({World1}, World1, kBriefingMusic),
        at({World1, World2}, World2, kNoMusic),
        at({World1, World2, World3}, World3, kNoMusic),
        at({World1, World2, World3, Briefing}, Briefing, kNoMusic),
        at({World1, World2, World3, Game}, Game, game_music),
    };
    EXPECT_EQ(scenes, expected);
    // The game window loaded its sheet and was ready; Esc closed the music last.
    ASSERT_EQ(media.commands.size(), 6u);
    EXPECT_EQ(media.commands.back(), "close all");
    EXPECT_FALSE(screens.game().busy);
}

TEST_F(ScreensFlow, TheAircraftMusicPlaysOnTheFirstVisitOnlyAndEachTitleIsFresh) {
    std::vector<const platform::Form*> titles;
    then([&] {
        titles.push_back(&current<app::Form1>(ScreenId::Title));
        key(SDL_SCANCODE_TAB); // from "スタート" to "機体説明"
        key(SDL_SCANCODE_RETURN);
    });
    then(next<app::Form6>(ScreenId::Aircraft));
    then([&] {
        auto& title = current<app::Form1>(ScreenId::Title);
        titles.push_back(&title);
        // Fresh: the focus is back on "スタート", where Tab had moved it from.
        EXPECT_EQ(title.focus, &title.Command1);
        click(title, title.Command3);
    });
    then(next<app::Form6>(ScreenId::Aircraft));
    then([&] {
        auto& title = current<app::Form1>(ScreenId::Title);
        titles.push_back(&title);
        click(title, title.Command3);
    });
    then(next<app::Form6>(ScreenId::Aircraft));
    EXPECT_EQ(run(), kScriptDone);

    using enum ScreenId;
    const std::vector<Scene> expected = {
        at({Title}, Title, kNoMusic),
        at({Aircraft}, Aircraft, kAircraftMusic),
        at({Title, Aircraft}, Title, kStopMusic),
        at({Aircraft}, Aircraft, kNoMusic),
        at({Title, Aircraft}, Title, kStopMusic),
        at({Aircraft}, Aircraft, kNoMusic),
        at({Title, Aircraft}, Title, kStopMusic),
    };
    EXPECT_EQ(scenes, expected);
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_NE(titles[0], titles[1]);
    EXPECT_NE(titles[1], titles[2]);
    // Unloaded titles are destroyed as the chain goes on: they never pile up.
    for (size_t n : kept) {
        EXPECT_LE(n, 1u);
    }
}

TEST_F(ScreensFlow, BackFromTheAircraftTheStoryStartsWithItsMusicAsUsual) {
    then(keys({SDL_SCANCODE_TAB, SDL_SCANCODE_SPACE})); // space clicks as Enter does
    then(next<app::Form6>(ScreenId::Aircraft));
    then(next<app::Form1>(ScreenId::Title));
    then(next<app::Form2>(ScreenId::World1));
    EXPECT_EQ(run(), kScriptDone);

    using enum ScreenId;
    const std::vector<Scene> expected = {
        at({Title}, Title, kNoMusic),
        at({Aircraft}, Aircraft, kAircraftMusic),
        at({Title, Aircraft}, Title, kStopMusic),
        at({World1, Aircraft}, World1, kBriefingMusic),
        at({World1, World2, Aircraft}, World2, kNoMusic),
    };
    EXPECT_EQ(scenes, expected);
}

TEST_F(ScreensFlow, NoScreenAnswersEsc) {
    const auto esc = keys({SDL_SCANCODE_ESCAPE});
    // Esc on every screen, each time before its button.
    then(esc);
    then(keys({SDL_SCANCODE_TAB, SDL_SCANCODE_RETURN}));
    then(esc);
    then(next<app::Form6>(ScreenId::Aircraft));
    then(esc);
    then(next<app::Form1>(ScreenId::Title));
    then(esc);
    then(next<app::Form2>(ScreenId::World1));
    then(esc);
    then(next<app::Form3>(ScreenId::World2));
    then(esc);
    then(next<app::Form4>(ScreenId::World3));
    then(esc);
    EXPECT_EQ(run(), kScriptDone);

    using enum ScreenId;
    const std::vector<Scene> reached = {
        at({Title}, Title, kNoMusic),
        at({Aircraft}, Aircraft, kAircraftMusic),
        at({Title, Aircraft}, Title, kStopMusic),
        at({World1, Aircraft}, World1, kBriefingMusic),
        at({World1, World2, Aircraft}, World2, kNoMusic),
        at({World1, World2, World3, Aircraft}, World3, kNoMusic),
        at({World1, World2, World3, Briefing, Aircraft}, Briefing, kNoMusic),
    };
    std::vector<Scene> expected;
    for (const Scene& s : reached) {
        expected.push_back(s);
        expected.push_back(Scene{s.loaded, s.visible, {}}); // after Esc: nothing changed
    }
    EXPECT_EQ(scenes, expected);
}
