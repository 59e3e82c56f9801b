// Every text of every window read against what lies under it, as WCAG 2 measures
// contrast: (L1 + 0.05) / (L2 + 0.05) of the relative luminances of the text's colour
// and of the background, at least 4.5:1 for normal text.
//
// A label's ink is every pixel it changes on its window. The background of an ink
// pixel is that pixel with the label hidden, and with it any label beneath showing
// the same text (a drop shadow or an engraved edge belongs to the text it shadows).
// The ink is cut into squares of the font's size, about a character each; a square
// reads at the contrast that all but its worst 5 % of ink pixels reach, so a dim
// star under one stroke does not fail a text, but a character on a bright edge does.
// A label reads at its worst square.

#include "app/Form1.h"
#include "app/Form5.h"
#include "app/Form6.h"
#include "app/Screens.h"
#include "app/StoryPage.h"
#include "app/frmMain.h"
#include "engine/sys/rnd.h"
#include "platform/legacy/headless_window_system.h"
#include "platform/system/text.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_input.h"
#include "tests/support/frame_end_keys.h"
#include "tests/support/game_data.h"
#include "tests/support/recording_media_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::Bitmap;
using platform::Form;
using platform::Label;

constexpr double kReadable = 4.5;

double linear(uint32_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(uint32_t xrgb) {
    return 0.2126 * linear(xrgb >> 16 & 255) + 0.7152 * linear(xrgb >> 8 & 255) +
           0.0722 * linear(xrgb & 255);
}

double contrast(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The window as it shows with some labels hidden.
Bitmap rendered(const Form& form, const std::vector<Label*>& hidden = {}) {
    for (Label* l : hidden) {
        l->visible = false;
    }
    Bitmap client(form.client_width, form.client_height);
    form.render(client);
    for (Label* l : hidden) {
        l->visible = true;
    }
    return client;
}

// The labels of the window that show the text of `label`, topmost first.
std::vector<Label*> same_text(const Form& form, const Label& label) {
    std::vector<Label*> found;
    for (platform::Control* c : form.controls()) {
        auto* other = dynamic_cast<Label*>(c);
        if (other && other->text() == label.text()) {
            found.push_back(other);
        }
    }
    return found;
}

// The contrast all but the worst 5 % of `ratios` reach.
double worst_but_5_percent(std::vector<double>& ratios) {
    const auto at = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() * 5 / 100);
    std::nth_element(ratios.begin(), at, ratios.end());
    return *at;
}

// The contrast of a label as the header describes it; nothing when it leaves no ink.
std::optional<double> label_contrast(const Form& form, Label& label) {
    const Bitmap shown = rendered(form);
    const Bitmap without = rendered(form, {&label});
    const Bitmap behind = rendered(form, same_text(form, label));

    const double text = luminance(platform::to_xrgb(label.fore_color));
    const int square = platform::font_pixels(label.font().value_or(form.font).size_pt);
    std::map<std::pair<int, int>, std::vector<double>> squares;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != without.pixel(x, y)) {
                squares[{(x - label.left) / square, (y - label.top) / square}].push_back(
                    contrast(text, luminance(behind.pixel(x, y))));
            }
        }
    }
    std::optional<double> worst;
    for (auto& [place, ratios] : squares) {
        const double reads_at = worst_but_5_percent(ratios);
        worst = worst ? std::min(*worst, reads_at) : reads_at;
    }
    return worst;
}

// The start of a text, for naming its label.
std::string opening(const std::string& text) {
    size_t end = 0;
    for (int characters = 0; end < text.size() && characters < 12; ++characters) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            ++end;
        }
    }
    return end < text.size() ? text.substr(0, end) + "…" : text;
}

void expect_reads(const Form& form, Label& label, const std::string& window) {
    const auto reads_at = label_contrast(form, label);
    ASSERT_TRUE(reads_at) << window << ": \"" << label.text() << "\" leaves no mark";
    EXPECT_GE(*reads_at, kReadable)
        << window << ": \"" << opening(label.text()) << "\" reads at " << std::fixed
        << std::setprecision(2) << *reads_at << ":1 against what lies under it";
}

// Every label of the window reads, but those beneath another with the same text.
void expect_texts_read(const Form& form, const std::string& window) {
    int texts = 0;
    for (platform::Control* c : form.controls()) {
        auto* label = dynamic_cast<Label*>(c);
        if (label && same_text(form, *label).front() == label) {
            ++texts;
            expect_reads(form, *label, window);
        }
    }
    EXPECT_GT(texts, 0) << window;
}

class TextContrast : public ::testing::Test {
  protected:
    // A window as it shows once shown and its events delivered.
    const Form& shown(Form& form) {
        windows.show(form);
        windows.deliver_pending_events();
        return form;
    }

    platform::FakeClock clock{1000};
    platform::HeadlessWindowSystem windows{clock, platform::advance_on_wait(clock)};
    FrameEndKeys keys;
    platform::FakeJoystick joystick;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{7, false};
    app::Services services{
        clock, keys, joystick, windows,
        media, rnd,  &windows, [](std::string_view) { return game_sheet_file(); }};
    app::Screens screens{services};
};

} // namespace

TEST_F(TextContrast, EveryTextOfTheScreens) {
    expect_texts_read(shown(screens.form1()), "the title");
    expect_texts_read(shown(screens.form2()), "story page 1");
    expect_texts_read(shown(screens.form3()), "story page 2");
    expect_texts_read(shown(screens.form4()), "story page 3");
    expect_texts_read(shown(screens.form5()), "the briefing");
    expect_texts_read(shown(screens.form6()), "the aircraft sheet");
}

TEST_F(TextContrast, GameWindowCountersAndEngravedTitle) {
    app::frmMain& game = screens.game();
    shown(game);
    for (Label* counter : {&game.lblMyBt, &game.lblEne, &game.lblEneBt, &game.lblInfo}) {
        expect_reads(game, *counter, "the game window");
    }
    // Navy on the band, with a white edge above-left and a grey one below-right: on
    // the dark band the white edge draws the letters.
    expect_reads(game, game.lblTitle[0], "the game window's title edge");
}
