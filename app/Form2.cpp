#include "app/Form2.h"

#include "app/Form3.h"
#include "app/Screens.h"

namespace app {

Form2::Form2(Screens& screens) : ScreenForm(screens, "世界情勢") {
    add(Command1);
    add(Image1);
    add_label(Label1, stored_text(kWorld1Text),
              {kScreenSilver, kStoryFont, platform::Align::Center, true});
    Image1.set_picture(stored_picture(kWorld1Picture));
    focus = &Command1;
    on_load = handler([this] { Form_Load(); });
    Command1.on_click = handler([this] { Command1_Click(); });
}

void Form2::Form_Load() {
    screens_.media().send_command("open c:\\briefing.wav type WaveAudio alias sov");
    screens_.media().send_command("play sov");
}

void Form2::Command1_Click() {
    screens_.hide(*this);
    screens_.show_modal(screens_.form3());
}

} // namespace app
