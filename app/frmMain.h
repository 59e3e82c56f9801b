#pragma once
// The game window: its layout, its event handlers, the loading sequence, and the
// sortie's start, paced frame loop and end. The sortie itself (its objects and
// the game's steps) is game::Sortie, which the window owns.

#include "app/services.h"
#include "engine/sys/clsNoxTimer.h"
#include "engine/sys/errors.h"
#include "engine/sys/rnd.h"
#include "game/sortie.h"
#include "platform/legacy/form.h"
#include "platform/legacy/input.h"
#include "platform/legacy/media.h"
#include "platform/system/clock.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace app {

// "Skarvelin 1.01" for version 1.1: the minor number in two digits.
std::string version_title(int major, int minor);
// The window's title: the program's version title, with " N" in unpaced mode.
std::string title_text(bool unpaced);
// The frame-time text of lblInfo for a frame that took t milliseconds.
std::string info_text(int32_t t);
// "MB0007"-style counter text.
std::string counter_text(std::string_view prefix, int16_t count);

class frmMain : public platform::Form {
  public:
    explicit frmMain(Services& services);
    ~frmMain() override;

    void Form_Load();
    void Form_Activate();
    void Form_KeyDown(int16_t& KeyCode, int Shift);
    void Form_MouseDown(int Button);
    void lblTitle_MouseDown(int Index, int Button);
    void timSystem_Timer();

    // Controls.
    std::shared_ptr<platform::PictureBox> picStage;
    std::shared_ptr<platform::PictureBox> picCharData;
    std::shared_ptr<platform::PictureBox> picCharMask;
    std::array<platform::Label, 3> lblTitle{
        platform::Label{55, 7, 0, 0}, platform::Label{57, 9, 0, 0}, platform::Label{56, 8, 0, 0}};
    platform::Label lblMyBt{273, 8, 45, 19};
    platform::Label lblEne{319, 8, 45, 19};
    platform::Label lblEneBt{366, 8, 45, 19};
    platform::Label lblInfo{413, 8, 100, 19};

    // The sortie's objects and steps, for the head-up display and tests to read.
    const game::Sortie& sortie() const { return sortie_; }

    // The frame timer: measures and paces the sortie's frames.
    std::unique_ptr<nox::clsNoxTimer> tmrFrame;
    bool noWait = false;
    bool busy = false;

  private:
    void build_layout();
    void send_media(std::string_view command);
    void set_title(bool unpaced);
    void load_game_sheet(platform::PictureBox& area);
    void print_chatter(std::string_view line);

    // The sortie.
    void SortieStart();
    void FrameLoop();
    void ProgramEnd();

    Services& services_;
    game::Sortie sortie_;
};

} // namespace app
