// The window dispatcher without a display: loading, showing, modal loops,
// timers, routing of keys and presses, focus, the held button, drag decisions
// and presenting, driven by plain events and a fake clock.

#include "platform/legacy/compose.h"
#include "platform/legacy/events.h"
#include "platform/legacy/headless_window_system.h"
#include "platform/legacy/window_dispatcher.h"
#include "tests/support/fake_clock.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using platform::Button;
using platform::Form;
using platform::Label;
using platform::NativeWindow;

namespace {

constexpr int16_t kTab = 9, kEnter = 13, kEsc = 27, kSpace = 32, kS = 83;

struct Counted : Form {
    Counted() : Form("counted") {
        on_load = [this] { ++loads; };
        on_activate = [this] { ++activations; };
    }
    int loads = 0;
    int activations = 0;
};

class Headless : public ::testing::Test {
  protected:
    platform::FakeClock clock;
    platform::HeadlessWindowSystem windows{clock, platform::advance_on_wait(clock)};

    void click(const Form& f, int x, int y) {
        windows.mouse_down(f, x, y);
        windows.mouse_up(f, x, y);
        windows.deliver_pending_events();
    }
};

} // namespace

TEST_F(Headless, LoadRunsOnceUntilUnloadAndHideKeepsTheForm) {
    Counted f;
    windows.load(f);
    windows.load(f);
    EXPECT_TRUE(windows.is_loaded(f));
    EXPECT_FALSE(windows.is_visible(f));
    EXPECT_EQ(f.loads, 1);
    EXPECT_EQ(f.activations, 0);

    windows.show(f);
    EXPECT_TRUE(windows.is_visible(f));
    EXPECT_EQ(f.loads, 1);
    EXPECT_EQ(f.activations, 1);

    windows.hide(f);
    EXPECT_TRUE(windows.is_loaded(f));
    EXPECT_FALSE(windows.is_visible(f));
    windows.show(f);
    EXPECT_EQ(f.loads, 1);

    windows.unload(f);
    EXPECT_FALSE(windows.is_loaded(f));
    EXPECT_EQ(f.host, nullptr);
    windows.show(f);
    EXPECT_EQ(f.loads, 2);
}

TEST_F(Headless, ALoadHandlerThatUnloadsLeavesNothingToShow) {
    Counted f;
    f.on_load = [&] { windows.unload(f); };
    windows.show(f);
    EXPECT_FALSE(windows.is_loaded(f));
    EXPECT_EQ(windows.active_form(), nullptr);
}

TEST_F(Headless, TheLastShownFormIsActiveAndHidingHandsBack) {
    Counted a, b;
    windows.show(a);
    windows.show(b);
    EXPECT_EQ(windows.active_form(), &b);
    windows.show(b);
    EXPECT_EQ(b.activations, 1);
    windows.hide(b);
    EXPECT_EQ(windows.active_form(), &a);
    EXPECT_EQ(a.activations, 2);
    windows.unload(a);
    EXPECT_EQ(windows.active_form(), nullptr);
}

TEST_F(Headless, ADestroyedFormIsForgotten) {
    auto f = std::make_unique<Counted>();
    Counted other;
    windows.show(other);
    windows.show(*f);
    f.reset();
    EXPECT_EQ(windows.active_form(), nullptr);
    windows.key_down(kS);
    windows.deliver_pending_events();
    EXPECT_TRUE(windows.is_loaded(other));
}

TEST_F(Headless, ModalLoopsNestAndEachReturnsWhenItsFormGoes) {
    Counted first, second;
    std::vector<std::string> trace;
    first.timer_interval_ms = 5;
    first.on_timer = [&] {
        trace.push_back("first tick");
        windows.hide(first);
        windows.show_modal(second);
        trace.push_back("second closed");
    };
    second.timer_interval_ms = 5;
    second.on_timer = [&] {
        trace.push_back("second tick");
        windows.unload(second);
    };
    windows.show_modal(first);
    EXPECT_EQ(trace, (std::vector<std::string>{"first tick", "second tick", "second closed"}));
    EXPECT_FALSE(windows.is_loaded(second));
    EXPECT_TRUE(windows.is_loaded(first));
}

TEST_F(Headless, AModalLoopWaitsForItsTimersWithoutSpinning) {
    Counted f;
    int ticks = 0;
    f.timer_interval_ms = 50;
    f.on_timer = [&] {
        if (++ticks == 4) {
            windows.hide(f);
        }
    };
    const uint32_t start = clock.peek();
    windows.show_modal(f);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(clock.peek() - start, 200u);
    EXPECT_LT(clock.reads, 100);
}

TEST_F(Headless, AFormDestroyedInsideItsModalLoopEndsTheLoop) {
    auto f = std::make_unique<Counted>();
    Counted destroyer;
    destroyer.timer_interval_ms = 5;
    destroyer.on_timer = [&] { f.reset(); };
    windows.load(destroyer);
    windows.show_modal(*f);
    EXPECT_EQ(f, nullptr);
    // The stack of modal loops is intact: a new one still takes input.
    Counted g;
    int presses = 0;
    g.on_mouse_down = [&](int) {
        ++presses;
        windows.hide(g);
    };
    g.on_activate = [&] { windows.mouse_down(g, 1, 1); };
    windows.show_modal(g);
    EXPECT_EQ(presses, 1);
}

TEST(HeadlessOnTheRealClock, WaitsForItsTimersBySleeping) {
    platform::SystemClock clock;
    platform::HeadlessWindowSystem windows(clock);
    Counted f;
    int ticks = 0;
    f.timer_interval_ms = 5;
    f.on_timer = [&] {
        if (++ticks == 2) {
            windows.unload(f);
        }
    };
    const uint32_t start = clock.now_ms();
    windows.show(f);
    windows.run();
    EXPECT_EQ(ticks, 2);
    EXPECT_GE(platform::elapsed_ms(clock.now_ms(), start), 10);
}

TEST_F(Headless, TimersTickOnlyWhileEventsAreDelivered) {
    clock.set(0xFFFFFFE0u); // the millisecond count wraps on the way
    Counted f;
    int ticks = 0;
    f.timer_interval_ms = 20;
    f.on_timer = [&] { ++ticks; };
    windows.show(f);
    clock.advance(70);
    EXPECT_EQ(ticks, 0);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 1); // missed ticks are not made up
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 1);
    clock.advance(19);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 1);
    clock.advance(1);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 2);

    f.timer_interval_ms = 0;
    clock.advance(25);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 2);
    // A new interval counts from the pass that notices it.
    f.timer_interval_ms = 10;
    clock.advance(100);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 2);
    clock.advance(10);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 3);
}

TEST_F(Headless, TimersRunFromLoadingWhileHiddenButNotInsideThemselves) {
    Counted f;
    int ticks = 0;
    f.timer_interval_ms = 10;
    f.on_timer = [&] {
        ++ticks;
        clock.advance(10);
        windows.deliver_pending_events(); // its own timer is due again, but is running
    };
    windows.load(f);
    clock.advance(10);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 1);
    windows.deliver_pending_events(); // it came due again while it ran
    EXPECT_EQ(ticks, 2);

    windows.unload(f);
    clock.advance(100);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 2);
}

TEST_F(Headless, KeysReachTheActiveFormOnlyWithKeyPreview) {
    Counted other, f;
    std::vector<int> codes;
    f.on_key_down = [&](int16_t& code, int shift) {
        codes.push_back(code * 10 + shift);
        code = 0;
    };
    other.on_key_down = [&](int16_t&, int) { FAIL() << "an inactive form got a key"; };
    other.key_preview = true;
    windows.show(other);
    windows.show(f);
    windows.key_down(kS);
    windows.deliver_pending_events();
    EXPECT_TRUE(codes.empty());

    f.key_preview = true;
    windows.key_down(kS, 1);
    windows.key_down(0); // a key without a code
    windows.key_down(kEsc, 6);
    windows.deliver_pending_events();
    EXPECT_EQ(codes, (std::vector<int>{831, 276}));
}

TEST_F(Headless, APressGoesToTheTopmostControlOrTheForm) {
    Counted f;
    Label top(10, 10, 50, 20), below(30, 20, 50, 20), hidden(0, 0, 549, 100);
    hidden.visible = false;
    f.add(hidden);
    f.add(top);
    f.add(below);
    std::vector<std::string> trace;
    top.on_mouse_down = [&](int b) { trace.push_back("top " + std::to_string(b)); };
    below.on_mouse_down = [&](int b) { trace.push_back("below " + std::to_string(b)); };
    hidden.on_mouse_down = [&](int) { trace.push_back("hidden"); };
    f.on_mouse_down = [&](int b) { trace.push_back("form " + std::to_string(b)); };
    windows.show(f);
    windows.mouse_down(f, 40, 25);
    windows.mouse_down(f, 70, 35, platform::kRightButton);
    windows.mouse_down(f, 300, 50); // hidden, but its area is still its own
    windows.mouse_down(f, 300, 300, platform::kMiddleButton);
    windows.mouse_down(f, 300, 300, 0); // a button the forms do not know
    windows.deliver_pending_events();
    EXPECT_EQ(trace, (std::vector<std::string>{"top 1", "below 2", "hidden", "form 4"}));
}

TEST_F(Headless, AButtonClicksWhenReleasedOverIt) {
    Counted f;
    Button start(128, 312, 145, 33, "スタート"), other(280, 312, 145, 33, "機体説明");
    f.add(other);
    f.add(start);
    int clicks = 0;
    start.on_click = [&] { ++clicks; };
    windows.show(f);

    windows.mouse_down(f, 150, 320);
    windows.deliver_pending_events();
    EXPECT_TRUE(start.pushed);
    EXPECT_EQ(f.focus, &start);
    EXPECT_EQ(clicks, 0);
    windows.mouse_up(f, 150, 321);
    windows.deliver_pending_events();
    EXPECT_FALSE(start.pushed);
    EXPECT_EQ(clicks, 1);

    // Released elsewhere: no click.
    windows.mouse_down(f, 150, 320);
    windows.mouse_up(f, 10, 10);
    windows.deliver_pending_events();
    EXPECT_FALSE(start.pushed);
    EXPECT_EQ(clicks, 1);

    // The right button neither pushes nor focuses a button, and releases nothing.
    f.focus = &other;
    windows.mouse_down(f, 150, 320, platform::kRightButton);
    windows.mouse_up(f, 150, 320, platform::kRightButton);
    windows.deliver_pending_events();
    EXPECT_FALSE(start.pushed);
    EXPECT_EQ(f.focus, &other);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Headless, AHeldButtonIsPushedInOnlyWhileThePointerIsOverIt) {
    Counted f, g;
    Button b(10, 10, 50, 20);
    f.add(b);
    int clicks = 0;
    b.on_click = [&] { ++clicks; };
    windows.show(g);
    windows.show(f);
    windows.mouse_down(f, 20, 20);
    windows.mouse_move(f, 100, 100);
    windows.deliver_pending_events();
    EXPECT_FALSE(b.pushed);
    windows.mouse_move(g, 20, 20); // over the same point of another window
    windows.deliver_pending_events();
    EXPECT_FALSE(b.pushed);
    windows.mouse_move(f, 30, 15);
    windows.deliver_pending_events();
    EXPECT_TRUE(b.pushed);
    windows.mouse_up(g, 30, 15); // released over another window
    windows.deliver_pending_events();
    EXPECT_EQ(clicks, 0);
    windows.mouse_up(f, 30, 15); // the hold ended with the release above
    windows.deliver_pending_events();
    EXPECT_EQ(clicks, 0);

    // A hold does not outlive the window it began in.
    windows.mouse_down(f, 20, 20);
    windows.deliver_pending_events();
    windows.unload(f);
    windows.show(f);
    windows.mouse_up(f, 20, 20);
    windows.deliver_pending_events();
    EXPECT_EQ(clicks, 0);
}

TEST_F(Headless, EnterAndSpaceClickTheFocusedButtonAndTabMovesTheFocus) {
    Counted f;
    Button first(0, 0, 50, 20), hidden(0, 90, 50, 20), second(0, 30, 50, 20);
    Label label(0, 60, 50, 20);
    hidden.visible = false;
    f.add(first);
    f.add(label);
    f.add(hidden);
    f.add(second);
    std::vector<std::string> clicks;
    first.on_click = [&] { clicks.push_back("first"); };
    second.on_click = [&] { clicks.push_back("second"); };
    hidden.on_click = [&] { clicks.push_back("hidden"); };
    f.focus = &second;
    windows.show(f);
    windows.key_down(kEnter);
    windows.key_down(kTab);
    windows.key_down(kSpace);
    windows.key_down(kTab);
    windows.key_down('A');
    windows.deliver_pending_events();
    EXPECT_EQ(clicks, (std::vector<std::string>{"second", "first"}));
    EXPECT_EQ(f.focus, &second);

    // A key the preview stops goes no further.
    f.key_preview = true;
    f.on_key_down = [](int16_t& code, int) { code = 0; };
    windows.key_down(kEnter);
    windows.deliver_pending_events();
    EXPECT_EQ(clicks.size(), 2u);

    // A hidden focused button takes no Enter; Tab from no focus finds the first.
    f.on_key_down = nullptr;
    f.focus = &hidden;
    windows.key_down(kEnter);
    windows.deliver_pending_events();
    EXPECT_EQ(clicks.size(), 2u);
    f.focus = nullptr;
    windows.key_down(kTab);
    windows.deliver_pending_events();
    EXPECT_EQ(f.focus, &first);

    // Without a button to go to, Tab leaves the focus alone.
    Counted labelled;
    Label only(0, 0, 10, 10);
    labelled.add(only);
    windows.show(labelled);
    windows.key_down(kTab);
    windows.deliver_pending_events();
    EXPECT_EQ(labelled.focus, nullptr);
}

TEST_F(Headless, OnlyTheModalFormTakesInput) {
    Counted behind, modal;
    int behind_presses = 0, modal_presses = 0, behind_keys = 0;
    behind.key_preview = true;
    behind.on_key_down = [&](int16_t&, int) { ++behind_keys; };
    behind.on_mouse_down = [&](int) { ++behind_presses; };
    modal.on_mouse_down = [&](int) {
        ++modal_presses;
        windows.hide(modal);
    };
    windows.show(behind);
    modal.on_activate = [&] {
        windows.show(behind); // active again, but behind a modal form
        windows.key_down(kS);
        windows.mouse_down(behind, 5, 5);
        windows.mouse_down(modal, 5, 5);
    };
    windows.show_modal(modal);
    EXPECT_EQ(behind_presses, 0);
    EXPECT_EQ(behind_keys, 0);
    EXPECT_EQ(modal_presses, 1);
    // With the modal form gone, the form behind takes input again.
    click(behind, 5, 5);
    EXPECT_EQ(behind_presses, 1);
}

TEST_F(Headless, EndingTheProgramLeavesEveryNestedLoop) {
    Counted f;
    f.key_preview = true;
    f.on_key_down = [](int16_t& code, int) {
        if (code == kEsc) {
            platform::end_program(3);
        }
    };
    f.on_activate = [&] { windows.key_down(kEsc); };
    try {
        windows.show_modal(f);
        FAIL() << "the program did not end";
    } catch (const platform::ProgramExit& e) {
        EXPECT_EQ(e.status, 3);
    }
    // The window system is still usable: the modal loop was left cleanly.
    Counted g;
    g.on_activate = [&] { windows.unload(g); };
    windows.show_modal(g);
    EXPECT_FALSE(windows.is_loaded(g));
}

TEST_F(Headless, RunEndsWhenNoFormIsLoaded) {
    Counted f;
    f.timer_interval_ms = 5;
    f.on_timer = [&] { windows.unload(f); };
    windows.show(f);
    windows.run();
    EXPECT_FALSE(windows.is_loaded(f));
}

TEST_F(Headless, PressesThatDragAndPressesThatDoNot) {
    Counted f, modal;
    Label title(10, 0, 100, 20), counter(200, 0, 50, 20);
    title.drags_window = true;
    f.drags_window = true;
    f.add(title);
    f.add(counter);
    int title_presses = 0;
    title.on_mouse_down = [&](int) { ++title_presses; };
    windows.show(f);

    windows.mouse_down(f, 300, 200); // the background
    windows.deliver_pending_events();
    EXPECT_TRUE(windows.is_dragged(f));
    windows.mouse_up(f, 320, 210);
    windows.deliver_pending_events();
    EXPECT_FALSE(windows.is_dragged(f));

    windows.mouse_down(f, 20, 5, platform::kRightButton); // the title, with any button
    windows.deliver_pending_events();
    EXPECT_TRUE(windows.is_dragged(f));
    EXPECT_EQ(title_presses, 1); // the press still reaches its handler
    windows.mouse_up(f, 20, 5, platform::kRightButton);
    windows.deliver_pending_events();

    windows.mouse_down(f, 210, 5); // a counter that does not drag
    windows.deliver_pending_events();
    EXPECT_FALSE(windows.is_dragged(f));
    windows.mouse_up(f, 210, 5);

    f.drags_window = false;
    windows.mouse_down(f, 300, 200);
    windows.deliver_pending_events();
    EXPECT_FALSE(windows.is_dragged(f));
    windows.mouse_up(f, 300, 200);
    f.drags_window = true;

    // Hiding the window ends its drag; a window behind a modal one does not drag.
    windows.mouse_down(f, 300, 200);
    windows.deliver_pending_events();
    windows.hide(f);
    EXPECT_FALSE(windows.is_dragged(f));
    windows.show(f);
    windows.mouse_up(f, 300, 200);
    modal.timer_interval_ms = 5;
    modal.on_timer = [&] {
        windows.mouse_down(f, 300, 200);
        windows.deliver_pending_events();
        EXPECT_FALSE(windows.is_dragged(f));
        windows.hide(modal);
    };
    windows.show_modal(modal);
}

TEST_F(Headless, APressOnAHiddenControlIsItsOwnAndDragsNothing) {
    Counted f;
    f.drags_window = true;
    platform::PictureBox sheet(13, 28, 119, 47); // where the game window keeps its mask
    Button hidden_button(200, 200, 60, 20);
    sheet.visible = false;
    hidden_button.visible = false;
    int form_presses = 0, sheet_presses = 0, clicks = 0;
    f.on_mouse_down = [&](int) { ++form_presses; };
    sheet.on_mouse_down = [&](int) { ++sheet_presses; };
    hidden_button.on_click = [&] { ++clicks; };
    f.add(sheet);
    f.add(hidden_button);
    windows.show(f);

    windows.mouse_down(f, 15, 50);
    windows.deliver_pending_events();
    EXPECT_FALSE(windows.is_dragged(f));
    EXPECT_EQ(sheet_presses, 1);
    EXPECT_EQ(form_presses, 0);
    windows.mouse_up(f, 15, 50);

    windows.mouse_down(f, 210, 205); // a hidden button is neither pushed nor clicked
    windows.deliver_pending_events();
    EXPECT_FALSE(windows.is_dragged(f));
    EXPECT_FALSE(hidden_button.pushed);
    EXPECT_NE(f.focus, &hidden_button);
    windows.mouse_up(f, 210, 205);
    windows.deliver_pending_events();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(form_presses, 0);

    windows.mouse_down(f, 300, 100); // the background still drags
    windows.deliver_pending_events();
    EXPECT_TRUE(windows.is_dragged(f));
    EXPECT_EQ(form_presses, 1);
}

TEST_F(Headless, AWindowShowsItsFormAtEachEventPass) {
    Form f("picture", 20, 10);
    f.back_color = platform::rgb(255, 0, 0);
    windows.load(f);
    ASSERT_NE(windows.client_image(f), nullptr);
    EXPECT_EQ(windows.client_image(f)->pixel(5, 5), 0u); // nothing presented yet
    windows.show(f);
    EXPECT_EQ(windows.client_image(f)->pixel(5, 5), 0x00FF0000u);

    // A change shows at the next pass when the form is told of it...
    f.back_color = platform::rgb(0, 0, 255);
    windows.deliver_pending_events();
    EXPECT_EQ(windows.client_image(f)->pixel(5, 5), 0x00FF0000u);
    f.invalidate();
    windows.deliver_pending_events();
    EXPECT_EQ(windows.client_image(f)->pixel(5, 5), 0x000000FFu);
    // ...otherwise within the refresh time, as drawing straight onto a picture area does.
    f.back_color = platform::rgb(0, 255, 0);
    clock.advance(15);
    windows.deliver_pending_events();
    EXPECT_EQ(windows.client_image(f)->pixel(5, 5), 0x000000FFu);
    clock.advance(1);
    windows.deliver_pending_events();
    EXPECT_EQ(windows.client_image(f)->pixel(5, 5), 0x0000FF00u);
    // A repaint shows it at once; a hidden window shows nothing new.
    f.back_color = platform::rgb(255, 255, 255);
    f.repaint();
    EXPECT_EQ(windows.client_image(f)->pixel(5, 5), 0x00FFFFFFu);
    windows.hide(f);
    f.back_color = 0;
    f.repaint();
    EXPECT_EQ(windows.client_image(f)->pixel(5, 5), 0x00FFFFFFu);
    windows.unload(f);
    EXPECT_EQ(windows.client_image(f), nullptr);
}

namespace {

// The null backend, with what the dispatcher asks of it on record, for the parts of
// the backend contract the headless window system does not expose.
class RecordingBackend : public platform::NullWindowBackend {
  public:
    explicit RecordingBackend(platform::FakeClock& clock)
        : NullWindowBackend([&clock](uint32_t ms) { clock.advance(ms); }) {}
    void set_drag_query(DragQuery query) override { drag_query = std::move(query); }
    void start_drag(NativeWindow window) override {
        ++drags;
        NullWindowBackend::start_drag(window);
    }
    void present(NativeWindow, const platform::Bitmap&) override { ++presents; }
    void wait_for_events(uint32_t timeout_ms) override {
        if (while_waiting) {
            while_waiting();
        }
        NullWindowBackend::wait_for_events(timeout_ms);
    }
    void collect_events() override {
        if (while_collecting) {
            while_collecting();
        }
    }

    // Where a native backend pumps its queue, and so may ask the drag query.
    std::function<void()> while_waiting;
    std::function<void()> while_collecting;
    DragQuery drag_query;
    int drags = 0;
    int presents = 0;
};

class Dispatcher : public ::testing::Test {
  protected:
    platform::FakeClock clock;
    RecordingBackend backend{clock};
    platform::WindowDispatcher windows{backend, clock};
};

} // namespace

TEST_F(Dispatcher, TheDragQueryAnswersForTheWindowThatTakesInput) {
    Counted f, modal;
    Label counter(200, 0, 50, 20);
    f.drags_window = true;
    f.add(counter);
    windows.show(f);
    const NativeWindow w = windows.window_of(f);
    ASSERT_TRUE(backend.drag_query);
    std::vector<bool> answers;
    backend.while_collecting = [&] {
        answers = {backend.drag_query(w, 300, 200), backend.drag_query(w, 210, 5),
                   backend.drag_query(w + 100, 300, 200)};
    };
    windows.deliver_pending_events();
    EXPECT_EQ(answers, (std::vector<bool>{true, false, false}));

    int asked_behind_the_modal = 0;
    backend.while_collecting = [&] {
        if (windows.is_visible(modal)) {
            EXPECT_FALSE(backend.drag_query(w, 300, 200));
            ++asked_behind_the_modal;
        }
    };
    modal.timer_interval_ms = 5;
    modal.on_timer = [&] { windows.hide(modal); };
    windows.show_modal(modal);
    EXPECT_GT(asked_behind_the_modal, 0);
}

TEST_F(Dispatcher, APressMayDragOnlyWhileEventsAreGatheredForDelivery) {
    Counted f;
    f.drags_window = true;
    f.key_preview = true;
    windows.show(f);
    const NativeWindow w = windows.window_of(f);
    std::vector<std::string> answers;
    auto ask = [&](const char* when) {
        answers.push_back(std::string(when) + (backend.drag_query(w, 300, 200) ? " drags" : ""));
    };
    backend.while_waiting = [&] { ask("waiting"); };
    backend.while_collecting = [&] { ask("collecting"); };
    // The game's frames run inside a key handler. Each frame's key polling pumps the
    // native queue, but only a paced pause between frames delivers events.
    f.on_key_down = [&](int16_t&, int) {
        ask("frame");
        windows.deliver_pending_events();
        ask("frame");
        windows.unload(f);
    };
    ask("idle");
    backend.post(platform::KeyDown{kS, 0});
    windows.run();
    EXPECT_EQ(answers, (std::vector<std::string>{"idle", "waiting drags", "collecting drags",
                                                 "frame", "collecting drags", "frame"}));
}

TEST_F(Dispatcher, APressTheWindowManagerMovesStillReachesItsHandler) {
    Counted f;
    int presses = 0;
    f.drags_window = true;
    f.on_mouse_down = [&](int button) { presses += button; };
    windows.show(f);
    backend.post(platform::MouseDown{windows.window_of(f), 300, 200, platform::kLeftButton, true});
    windows.deliver_pending_events();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(backend.drags, 0);
    backend.post(platform::MouseDown{windows.window_of(f), 300, 200, platform::kLeftButton});
    windows.deliver_pending_events();
    EXPECT_EQ(backend.drags, 1);
}

TEST_F(Dispatcher, UnchangedPixelsArePresentedOnlyWhenTheWindowWasExposed) {
    Counted f;
    windows.show(f);
    const int shown = backend.presents;
    EXPECT_EQ(shown, 1);
    f.invalidate();
    windows.deliver_pending_events();
    EXPECT_EQ(backend.presents, shown);
    backend.post(platform::WindowExposed{windows.window_of(f)});
    backend.post(platform::WindowExposed{windows.window_of(f) + 100});
    windows.deliver_pending_events();
    EXPECT_EQ(backend.presents, shown + 1);
}

TEST_F(Dispatcher, AQuitRequestEndsTheProgramWithStatusZero) {
    Counted f;
    windows.show(f);
    backend.post(platform::QuitRequested{});
    try {
        windows.deliver_pending_events();
        FAIL() << "the program did not end";
    } catch (const platform::ProgramExit& e) {
        EXPECT_EQ(e.status, 0);
    }
}

namespace {

// What the screen would show: the whole picture, then only the part said to change.
class ScreenBackend : public platform::NullWindowBackend {
  public:
    explicit ScreenBackend(platform::FakeClock& clock)
        : NullWindowBackend([&clock](uint32_t ms) { clock.advance(ms); }) {}
    void present(NativeWindow, const platform::Bitmap& client) override { screen = client; }
    void present_changed(NativeWindow, const platform::Bitmap& client,
                         const platform::PixelRect& changed) override {
        for (int y = changed.y; y < changed.y + changed.height; ++y) {
            for (int x = changed.x; x < changed.x + changed.width; ++x) {
                screen.set_pixel(x, y, client.pixel(x, y));
            }
        }
    }
    platform::Bitmap screen{1, 1};
};

} // namespace

TEST(DispatcherComposition, EveryKindOfChangeShowsAsIfTheWholeFormWereComposed) {
    platform::FakeClock clock;
    ScreenBackend backend{clock};
    platform::WindowDispatcher windows{backend, clock};
    Form f("parts", 60, 40);
    f.background = std::make_shared<platform::Bitmap>(60, 40);
    f.background->fill(0x00203040);
    Label over(8, 8, 30, 12), aside(40, 28, 18, 10);
    Button button(2, 26, 30, 12, "ok");
    auto area = std::make_shared<platform::PictureBox>(4, 4, 40, 20);
    area->region = platform::RoundRegion{0, 0, 40, 20, 8, 8};
    platform::PictureBox hidden(0, 0, 60, 40);
    hidden.visible = false;
    for (platform::Control* c :
         std::initializer_list<platform::Control*>{&over, &aside, &button, area.get(), &hidden}) {
        f.add(*c);
    }
    over.set_text("on top");
    windows.show(f);

    auto draw = [](platform::PictureBox& p, int x, int y, uint32_t colour) {
        platform::fill_rect(p.hdc().bitmap(), x, y, 6, 5, colour);
    };
    const std::vector<std::function<void()>> changes = {
        [&] { draw(*area, 30, 12, 0x00FF0000); },  // clear of the label
        [&] { draw(*area, 8, 6, 0x0000FF00); },    // under the label
        [&] { draw(*area, 0, 0, 0x000000FF); },    // in the cut corner
        [&] { draw(hidden, 10, 10, 0x00FFFFFF); }, // not shown at all
        [&] { over.set_text("moved"); },           //
        [&] { over.left += 5; },                   // without telling the form
        [&] {
            aside.fore_color = platform::rgb(255, 255, 0);
            aside.set_text("x");
        },
        [&] { aside.visible = false; }, //
        [&] { button.pushed = true; },  //
        [&] { f.focus = &button; },     //
        [&] { area->visible = false; }, //
        [&] { f.background = std::make_shared<platform::Bitmap>(50, 40); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        changes[i]();
        f.repaint();
        platform::Bitmap whole(60, 40);
        f.render(whole);
        ASSERT_TRUE(*windows.shown_image(f) == whole) << "change " << i;
        ASSERT_TRUE(backend.screen == whole) << "change " << i;
    }
}
