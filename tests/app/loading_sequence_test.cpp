// The game window's loading sequence as the player sees it: the radio chatter
// appearing line by line on the playfield while the sprite sheet is prepared.

#include "app/frmMain.h"
#include "app/playfield.h"
#include "platform/legacy/events.h"
#include "platform/system/text.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_input.h"
#include "tests/support/game_data.h"
#include "tests/support/no_events.h"
#include "tests/support/recording_media_player.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Keeps what the playfield shows each time the window is put on the screen.
class PlayfieldRecorder : public platform::FormHost {
  public:
    explicit PlayfieldRecorder(const platform::PictureBox& stage) : stage_(stage) {}
    void repaint(platform::Form&) override { shown.push_back(stage_.screen()); }
    std::vector<platform::Bitmap> shown;

  private:
    const platform::PictureBox& stage_;
};

bool has_green_ink(const platform::Bitmap& b, int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const uint32_t p = b.pixel(x, y);
            if (((p >> 8) & 255) > 100 && ((p >> 16) & 255) < 60 && (p & 255) < 60) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

TEST(LoadingSequence, TheChatterAppearsLineByLineBelowAnEmptyFirstLine) {
    platform::FakeClock clock;
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    platform::NoEvents events;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{1, false};
    app::Services services{clock, keys, joystick, events, media, rnd, nullptr, game_sheet_file};
    app::frmMain game(services);
    game.Form_Load();
    PlayfieldRecorder recorder(*game.picStage);
    game.host = &recorder;
    game.Form_Activate();
    game.host = nullptr;

    // The whole window first, then once after each of the five lines.
    ASSERT_EQ(recorder.shown.size(), 6u);
    const int h = platform::line_height(app::game_window_font());
    for (int lines = 1; lines <= 5; ++lines) {
        const platform::Bitmap& shot = recorder.shown[static_cast<size_t>(lines)];
        EXPECT_FALSE(has_green_ink(shot, 0, h)) << "the first text row stays empty";
        for (int row = 1; row <= 5; ++row) {
            EXPECT_EQ(has_green_ink(shot, row * h, (row + 1) * h), row <= lines)
                << "row " << row << " after " << lines << " lines";
        }
    }
    // The playfield is cleared for the sortie when the sequence ends.
    EXPECT_FALSE(has_green_ink(game.picStage->screen(), 0, 300));
}
