#pragma once
// The chain of windows from the title screen to the game window, and their life.
//
// Each window object is created, empty and not loaded, the first time it is
// asked for. Unloading destroys the window on screen at once and the object soon
// after: a screen is usually unloaded by its own button, whose handler is still
// running (and may stay suspended in a modal loop for long), so the object is
// kept aside and destroyed at the start of a later handler, once no handler of
// its own is running any more. Asking for the window again creates a new object.

#include "app/StoryPage.h"
#include "app/frmMain.h"
#include "platform/legacy/form.h"
#include "platform/legacy/media.h"

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace app {

class Form1;
class Form5;
class Form6;

enum class ScreenId { Title, World1, World2, World3, Briefing, Aircraft, Game };

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
    // The current object of a window, or null when there is none (never asked for, or unloaded).
    platform::Form* existing(ScreenId id) const;

    void show(platform::Form& form);
    void show_modal(platform::Form& form);
    void hide(platform::Form& form);
    void unload(platform::Form& form);

    platform::WindowSystem& windows() { return windows_; }
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
    std::array<std::unique_ptr<platform::Form>, 7> current_;
    std::vector<std::unique_ptr<platform::Form>> unloaded_;
};

} // namespace app
