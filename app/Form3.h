#pragma once
// World situation, page 2 of the back story.

#include "app/ScreenForm.h"

namespace app {

class Form3 : public ScreenForm {
  public:
    explicit Form3(Screens& screens);

    void Command1_Click();

    platform::Button Command1{200, 304, 169, 33, "次へ"};
    platform::Image Image1{136, 136, 289, 161};
    platform::Label Label1{8, 0, 529, 145};
};

} // namespace app
