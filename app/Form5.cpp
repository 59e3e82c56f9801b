#include "app/Form5.h"

#include "app/Screens.h"

namespace app {

Form5::Form5(Screens& screens) : ScreenForm(screens, platform::N_("作戦説明")) {
    add_button(Command1);
    add_label(Label2, stored_text(kBriefingText),
              {kScreenGreen, kStoryFont, platform::Align::Center, true, kStoryEnglishSizePt});
    add_label(Label1, "作戦説明",
              {kScreenRed, platform::Font{"ＭＳ Ｐゴシック", 18, true}, platform::Align::Center});
    focus = &Command1;
    Command1.on_click = handler([this] { Command1_Click(); });
}

void Form5::Command1_Click() {
    screens_.media().send_command("close all"); // the briefing music stops
    screens_.unload(*this);
    screens_.show_modal(screens_.destination(ScreenId::Briefing, "Command1"));
}

} // namespace app
