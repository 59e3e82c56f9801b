#include "app/ScreenForm.h"

#include "app/Screens.h"

#include <utility>

namespace app {

ScreenForm::ScreenForm(Screens& screens, std::string title, std::string_view background_picture)
    : platform::Form(std::move(title), 549, 349), screens_(screens) {
    background = stored_picture(background_picture);
    // The default font of the screens' labels: the proportional Gothic at 9 points.
    font = platform::Font{"ＭＳ Ｐゴシック", 9.0, false};
}

std::function<void()> ScreenForm::handler(std::function<void()> body) {
    return [this, body = std::move(body)] {
        screens_.handler_starting();
        struct Running {
            int& count;
            explicit Running(int& c) : count(c) { ++count; }
            ~Running() { --count; }
        } running{running_handlers_};
        body();
    };
}

void ScreenForm::add_label(platform::Label& label, std::string text, const LabelLook& look) {
    label.fore_color = look.color;
    if (look.font) {
        label.set_font(*look.font);
    }
    label.alignment = look.alignment;
    label.word_wrap = look.word_wrap;
    label.set_text(std::move(text));
    add(label);
}

void ScreenForm::play_music(std::string_view wave_file) {
    screens_.media().send_command("open " + std::string(wave_file) + " type WaveAudio alias sov");
    screens_.media().send_command("play sov");
}

} // namespace app
