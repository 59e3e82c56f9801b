#pragma once
// The mission briefing, and the way into the game window.

#include "app/ScreenForm.h"

namespace app {

class Form5 : public ScreenForm {
  public:
    explicit Form5(Screens& screens);

    void Command1_Click();

    platform::Button Command1{184, 304, 169, 33, platform::N_("出撃！")};
    platform::Label Label2{16, 72, 529, 161};
    platform::Label Label1{16, 16, 529, 49};
};

} // namespace app
