#pragma once
// The chain of windows from the title screen to the game window, and their life.
//
// Each window object is created, empty and not loaded, the first time it is
// asked for. Unloading destroys the window on screen at once and the object soon
// after: a screen is usually unloaded by its own button, whose handler is still
// running (and may stay suspended in a modal loop for long), so the object is
// kept aside and destroyed at the start of a later handler, once no handler of
// its own is running any more. Asking for the window again creates a new object.

#include "app/services.h"
#include "app/texts.h"
#include "platform/legacy/form.h"
#include "platform/legacy/media.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace app {

class Form1;
class Form5;
class Form6;
class StoryPage;
class frmMain;
using Form2 = StoryPage;
using Form3 = StoryPage;
using Form4 = StoryPage;

enum class ScreenId { Title, World1, World2, World3, Briefing, Aircraft, Game };

// Which screen each button of a screen leads to: the one place that says it.
struct Way {
    ScreenId from;
    std::string_view button;
    ScreenId to;
};
inline constexpr std::array<Way, 7> kWays = {{
    {ScreenId::Title, "Command1", ScreenId::World1},
    {ScreenId::Title, "Command3", ScreenId::Aircraft},
    {ScreenId::World1, "Command1", ScreenId::World2},
    {ScreenId::World2, "Command1", ScreenId::World3},
    {ScreenId::World3, "Command1", ScreenId::Briefing},
    {ScreenId::Briefing, "Command1", ScreenId::Game},
    {ScreenId::Aircraft, "Command1", ScreenId::Title},
}};

class Screens {
  public:
    // `services.windows` must be set: the screens exist only in a window system.
    explicit Screens(Services& services);
    ~Screens();
    Screens(const Screens&) = delete;
    Screens& operator=(const Screens&) = delete;

    // The program's start: load and show the title screen.
    void start();

    // The windows, created the first time they are asked for.
    Form1& form1();
    Form2& form2();
    Form3& form3();
    Form4& form4();
    Form5& form5();
    Form6& form6();
    frmMain& game();
    // A window by its id, created the first time it is asked for.
    platform::Form& screen(ScreenId id);
    // The window that `button` of screen `from` leads to (kWays), created if need be.
    platform::Form& destination(ScreenId from, std::string_view button);
    // The current object of a window, or null when there is none (never asked for, or unloaded).
    platform::Form* existing(ScreenId id) const;

    void show(platform::Form& form);
    void show_modal(platform::Form& form);
    void hide(platform::Form& form);
    void unload(platform::Form& form);

    platform::WindowSystem& windows() { return windows_; }
    const Texts& texts() const { return texts_; }
    // Shows every screen's texts in `language` at once (the page's language switch).
    void choose_language(platform::Language language);
    platform::MediaPlayer& media() { return services_.media; }

    // Unloaded window objects not destroyed yet.
    std::size_t awaiting_destruction() const { return unloaded_.size(); }
    // Called as any screen's handler starts: destroys the unloaded windows whose
    // handlers have all returned.
    void handler_starting();

  private:
    template <class Window, class... Args> Window& obtain(ScreenId id, Args&... args);

    Services& services_;
    platform::WindowSystem& windows_;
    Texts texts_;
    std::array<std::unique_ptr<platform::Form>, 7> current_;
    std::vector<std::unique_ptr<platform::Form>> unloaded_;
};

} // namespace app
