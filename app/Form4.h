#pragma once
// World situation, page 3 of the back story.

#include "app/ScreenForm.h"

namespace app {

class Form4 : public ScreenForm {
  public:
    explicit Form4(Screens& screens);

    void Command1_Click();

    platform::Button Command1{192, 304, 169, 33, "次へ"};
    platform::Image Image1{200, 176, 153, 121};
    platform::Label Label1{0, 0, 529, 177};
};

} // namespace app
