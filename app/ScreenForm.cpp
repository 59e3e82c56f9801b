#include "app/ScreenForm.h"

#include "app/Screens.h"

#include <utility>

namespace app {

ScreenForm::ScreenForm(Screens& screens, std::string title, std::string_view background_picture)
    : platform::Form(platform::tr(title), 549, 349), screens_(screens),
      original_caption_(std::move(title)) {
    background = stored_picture(background_picture);
    font = screens_.texts().font(kScreenFont);
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
    label.alignment = look.alignment;
    label.word_wrap = look.word_wrap;
    labels_.push_back({&label, std::move(text), look});
    show_label_text(labels_.back());
    add(label);
}

void ScreenForm::add_button(platform::Button& button) {
    buttons_.push_back({&button, button.caption});
    button.caption = platform::tr(button.caption);
    add(button);
}

void ScreenForm::show_label_text(const LabelText& text) {
    const Texts& texts = screens_.texts();
    text.label->set_font(
        texts.font(text.look.font.value_or(kScreenFont), text.look.english_size_pt));
    text.label->set_text(platform::tr(text.original));
}

void ScreenForm::show_language() {
    caption = platform::tr(original_caption_);
    font = screens_.texts().font(kScreenFont);
    for (const LabelText& text : labels_) {
        show_label_text(text);
    }
    for (const ButtonText& text : buttons_) {
        text.button->caption = platform::tr(text.original);
    }
    invalidate();
}

void ScreenForm::play_music(std::string_view wave_file) {
    screens_.media().send_command("open " + std::string(wave_file) + " type WaveAudio alias sov");
    screens_.media().send_command("play sov");
}

} // namespace app
