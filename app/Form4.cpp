#include "app/Form4.h"

#include "app/Form5.h"
#include "app/Screens.h"

namespace app {

Form4::Form4(Screens& screens) : ScreenForm(screens, "世界情勢") {
    add(Command1);
    add(Image1);
    add_label(Label1, stored_text(kWorld3Text),
              {kScreenSilver, kStoryFont, platform::Align::Center, true});
    Image1.set_picture(stored_picture(kWorld3Picture));
    focus = &Command1;
    Command1.on_click = handler([this] { Command1_Click(); });
}

void Form4::Command1_Click() {
    screens_.hide(*this);
    screens_.show_modal(screens_.form5());
}

} // namespace app
