#include "app/StoryPage.h"

#include "app/Screens.h"

#include <utility>

namespace app {

const StoryPageContent kWorld1Page{.text = kWorld1Text,
                                   .picture = kWorld1Picture,
                                   .text_place = {8, 8, 529, 145},
                                   .picture_place = {32, 88, 489, 209},
                                   .button_place = {200, 312, 169, 33},
                                   .screen = ScreenId::World1,
                                   .music = "c:\\briefing.wav"};

const StoryPageContent kWorld2Page{.text = kWorld2Text,
                                   .picture = kWorld2Picture,
                                   .text_place = {8, 0, 529, 145},
                                   .picture_place = {136, 136, 289, 161},
                                   .button_place = {200, 304, 169, 33},
                                   .screen = ScreenId::World2};

const StoryPageContent kWorld3Page{.text = kWorld3Text,
                                   .picture = kWorld3Picture,
                                   .text_place = {0, 0, 529, 177},
                                   .picture_place = {200, 176, 153, 121},
                                   .button_place = {192, 304, 169, 33},
                                   .screen = ScreenId::World3};

namespace {

// A control of kind C at a place; `more` are the rest of its constructor's arguments.
template <class C, class... More> C placed(const ControlPlace& at, More&&... more) {
    return C{at.left, at.top, at.width, at.height, std::forward<More>(more)...};
}

} // namespace

StoryPage::StoryPage(Screens& screens, const StoryPageContent& content)
    : ScreenForm(screens, platform::N_("世界情勢")),
      Command1(placed<platform::Button>(content.button_place, platform::N_("次へ"))),
      Image1(placed<platform::Image>(content.picture_place)),
      Label1(placed<platform::Label>(content.text_place)), music_(content.music),
      screen_(content.screen) {
    add_button(Command1);
    add(Image1);
    add_label(Label1, stored_text(content.text),
              {kScreenSilver, kStoryFont, platform::Align::Center, true, kStoryEnglishSizePt});
    Image1.set_picture(stored_picture(content.picture));
    focus = &Command1;
    if (!music_.empty()) {
        on_load = handler([this] { Form_Load(); });
    }
    Command1.on_click = handler([this] { Command1_Click(); });
}

void StoryPage::Form_Load() {
    play_music(music_);
}

void StoryPage::Command1_Click() {
    screens_.hide(*this);
    screens_.show_modal(screens_.destination(screen_, "Command1"));
}

} // namespace app
