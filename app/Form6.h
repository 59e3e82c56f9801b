#pragma once
// The aircraft's data sheet, a side trip from the title screen with music of its own.

#include "app/ScreenForm.h"

namespace app {

class Form6 : public ScreenForm {
  public:
    explicit Form6(Screens& screens);

    void Form_Load();
    void Command1_Click();

    platform::Button Command1{200, 296, 145, 41, platform::N_("戻る")};
    platform::Label Label13{24, 208, 233, 17};
    platform::Label Label12{24, 192, 249, 17};
    platform::Label Label11{16, 176, 65, 17};
    platform::Label Label10{24, 160, 225, 17};
    platform::Label Label9{24, 144, 169, 17};
    platform::Label Label8{16, 128, 81, 17};
    platform::Label Label7{24, 112, 225, 17};
    platform::Label Label6{24, 96, 217, 17};
    platform::Label Label5{24, 80, 225, 17};
    platform::Label Label4{24, 64, 241, 17};
    platform::Label Label3{16, 48, 49, 17};
    platform::Label Label2{16, 32, 265, 17};
    platform::Label Label1{8, 8, 273, 33};
    platform::Image Image1{280, 56, 257, 177};
};

} // namespace app
