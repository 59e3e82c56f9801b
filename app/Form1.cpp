#include "app/Form1.h"

#include "app/Screens.h"

namespace app {

namespace {

const platform::Font kTitleFont{"ＭＳ Ｐ明朝", 36, true};

} // namespace

Form1::Form1(Screens& screens) : ScreenForm(screens, "Skarvelin") {
    add_button(Command3);
    add_button(Command1);
    add_label(Label5, "Skarvelin", {kScreenRed, kTitleFont, platform::Align::Center});
    // The same title beneath, 8 pixels down and right: its drop shadow.
    add_label(Label4, "Skarvelin", {kScreenShadow, kTitleFont, platform::Align::Center});
    add_label(Label3, "3.終了するときは「Esc」キー（キーボードの左上）を押して下さい。", {});
    add_label(Label2,
              "2.スタートボタンを押すとロードが始まります。ロード終了後、準備ができたら「S」を押"
              "して下さい。",
              {kScreenGreen, kStoryFont, platform::Align::Left, true, 13});
    add_label(Label1,
              "1,操作方法は、テンキー（2,4,6,8）または矢印キーで移動、スペースバーで攻撃です。",
              {});
    focus = &Command1;
    Command1.on_click = handler([this] { Command1_Click(); });
    Command3.on_click = handler([this] { Command3_Click(); });
}

void Form1::Command1_Click() {
    screens_.unload(*this);
    screens_.show_modal(screens_.destination(ScreenId::Title, "Command1"));
}

void Form1::Command3_Click() {
    screens_.unload(*this);
    screens_.show_modal(screens_.destination(ScreenId::Title, "Command3"));
}

} // namespace app
