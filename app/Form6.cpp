#include "app/Form6.h"

#include "app/Screens.h"

namespace app {

Form6::Form6(Screens& screens)
    : ScreenForm(screens, platform::N_("機体説明"), kAircraftBackground) {
    add_button(Command1);
    // The data sheet, bottom line first: the lines under a sub-heading are indented.
    add_label(Label13, "ミラゼンタイプ543J フェイズドアレイレーダー", {});
    add_label(Label12, "ベスカル・ドルメカ SOH-62L ECM装置", {});
    add_label(Label11, "電子機器：", {});
    add_label(Label10, "宙航エンジンモード時：124000km", {});
    add_label(Label9, "通常エンジンモード時：3700km", {});
    add_label(Label8, "航続距離：", {});
    add_label(Label7, "R-37迎撃ミサイル　2発", {});
    add_label(Label6, "AA-12アダー対空ミサイル　2発", {});
    add_label(Label5, "R-73(AA-11)アーチャー対空ミサイル　4発", {});
    add_label(Label4, "ヴォルテナクKsh-186拡散荷電粒子砲　2門", {});
    add_label(Label3, "武装：", {});
    add_label(Label2, "エンジン：ベスカル・ドルメカAse-148GJ 2基", {});
    add_label(Label1, "Vk-42 多用途特殊戦闘機",
              {kScreenGreen, kStoryFont, platform::Align::Left, false, 13});
    add(Image1);
    Image1.set_picture(stored_picture(kAircraftPicture));
    focus = &Command1;
    on_load = handler([this] { Form_Load(); });
    Command1.on_click = handler([this] { Command1_Click(); });
}

void Form6::Form_Load() {
    play_music("c:\\lodestone.wav");
}

void Form6::Command1_Click() {
    screens_.media().send_command("close all"); // the music stops
    screens_.hide(*this);
    // The title screen was unloaded when this one opened: this is a fresh one.
    screens_.show(screens_.destination(ScreenId::Aircraft, "Command1"));
}

} // namespace app
