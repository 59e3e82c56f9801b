#include "app/Form3.h"

#include "app/Form4.h"
#include "app/Screens.h"

namespace app {

Form3::Form3(Screens& screens) : ScreenForm(screens, "世界情勢") {
    add(Command1);
    add(Image1);
    add_label(Label1, stored_text(kWorld2Text),
              {kScreenSilver, kStoryFont, platform::Align::Center, true});
    Image1.set_picture(stored_picture(kWorld2Picture));
    focus = &Command1;
    Command1.on_click = handler([this] { Command1_Click(); });
}

void Form3::Command1_Click() {
    screens_.hide(*this);
    screens_.show_modal(screens_.form4());
}

} // namespace app
