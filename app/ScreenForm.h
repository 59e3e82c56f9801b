#pragma once
// What the screens before the game window have in common: a fixed 549 x 349
// window without border, centred, that cannot be dragged, showing the shared
// background picture; and handlers that run under their owner's watch, so that
// a screen unloaded by its own button outlives the handler that unloaded it.

#include "app/screen_data.h"
#include "platform/legacy/form.h"
#include "platform/system/catalogue.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class Screens;

inline const platform::ColorRef kScreenRed = platform::rgb(255, 0, 0);
inline const platform::ColorRef kScreenShadow = platform::rgb(64, 64, 64);
inline const platform::ColorRef kScreenGreen = platform::rgb(0, 255, 0);
inline const platform::ColorRef kScreenSilver = platform::rgb(192, 192, 192);
// The long texts of the screens.
inline const platform::Font kStoryFont{"ＭＳ Ｐゴシック", 14.25, true};
// The long texts' size in English, whose words run longer than the Japanese characters.
inline constexpr double kStoryEnglishSizePt = 11;
// The default font of the screens' labels and buttons: the proportional Gothic at 9 points.
inline const platform::Font kScreenFont{"ＭＳ Ｐゴシック", 9.0, false};

// How a label of a screen looks; without a font it uses the screens' default font.
struct LabelLook {
    platform::ColorRef color = kScreenGreen;
    std::optional<platform::Font> font;
    platform::Align alignment = platform::Align::Left;
    bool word_wrap = false;
    // The English text's size, where the Japanese size would not fit the label.
    std::optional<double> english_size_pt = std::nullopt;
};

class ScreenForm : public platform::Form {
  public:
    ScreenForm(Screens& screens, std::string title,
               std::string_view background_picture = kBackgroundPicture);

    // How many of this window's handlers are running now (nested ones counted).
    int running_handlers() const { return running_handlers_; }
    // Shows the caption, labels and buttons in the screens' language as it is now.
    void show_language();

  protected:
    // Wraps a handler so that its owner knows while it runs.
    std::function<void()> handler(std::function<void()> body);
    // Gives a label its text (as written in Japanese) and look and adds it above the
    // controls added later.
    void add_label(platform::Label& label, std::string text, const LabelLook& look);
    // Adds a button, its caption as written in Japanese, above the controls added later.
    void add_button(platform::Button& button);
    // Opens a wave file under the one alias every piece of the screens uses, and plays it once.
    void play_music(std::string_view wave_file);

    Screens& screens_;

  private:
    struct LabelText {
        platform::Label* label;
        std::string original;
        LabelLook look;
    };
    struct ButtonText {
        platform::Button* button;
        std::string original;
    };

    void show_label_text(const LabelText& text);

    int running_handlers_ = 0;
    std::string original_caption_;
    std::vector<LabelText> labels_;
    std::vector<ButtonText> buttons_;
};

} // namespace app
