#include "app/playfield.h"

namespace app {

platform::Font game_window_font() {
    // A fixed-pitch face keeps the digits steady. At 7.5 points (10 pixels, 5 a
    // character) lblInfo's 100 pixels hold 20 characters: "001 msec 1000 bps" and
    // frames of up to 9999999 milliseconds.
    return platform::Font{"ＭＳ ゴシック", 7.5, false};
}

std::shared_ptr<platform::PictureBox> make_playfield() {
    auto stage = std::make_shared<platform::PictureBox>(19, 34, 512, 300);
    stage->back_color = platform::rgb(0, 0, 0);
    stage->fore_color = kGameGreen;
    // The frame count and the loading chatter: unsmoothed, so that 0 and 8 stay apart.
    platform::Font crisp = game_window_font();
    crisp.smooth = false;
    stage->font = crisp;
    stage->cls();
    return stage;
}

std::shared_ptr<platform::PictureBox> make_sheet_area(int left, int top) {
    auto area = std::make_shared<platform::PictureBox>(left, top, 119, 47);
    area->visible = false;
    area->set_auto_redraw(true);
    return area;
}

} // namespace app
