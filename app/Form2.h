#pragma once
// World situation, page 1 of the back story; the briefing music starts here.

#include "app/ScreenForm.h"

namespace app {

class Form2 : public ScreenForm {
  public:
    explicit Form2(Screens& screens);

    void Form_Load();
    void Command1_Click();

    platform::Button Command1{200, 312, 169, 33, "次へ"};
    platform::Image Image1{32, 88, 489, 209};
    platform::Label Label1{8, 8, 529, 145};
};

} // namespace app
