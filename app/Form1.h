#pragma once
// The title screen: the game's name, how to play, and the way on to the story or
// to the aircraft's description.

#include "app/ScreenForm.h"

namespace app {

class Form1 : public ScreenForm {
  public:
    explicit Form1(Screens& screens);

    void Command1_Click();
    void Command3_Click();

    platform::Button Command3{280, 312, 145, 33, platform::N_("機体説明")};
    platform::Button Command1{128, 312, 145, 33, platform::N_("スタート")};
    platform::Label Label5{0, 24, 537, 49};
    platform::Label Label4{8, 32, 537, 49};
    platform::Label Label3{8, 192, 473, 25};
    platform::Label Label2{8, 144, 537, 41};
    platform::Label Label1{8, 128, 449, 17};
};

} // namespace app
