#pragma once
// The game window: its layout, the objects of the game it owns, its event
// handlers, and the sortie (start, frame loop, end). The game rules are its
// private steps, written in game/ one file per actor.

#include "engine/actor/clsNoxCharacter.h"
#include "engine/actor/clsNoxGroup.h"
#include "engine/actor/clsNoxMQL.h"
#include "engine/draw/clsNoxField.h"
#include "engine/draw/clsNoxSprite.h"
#include "engine/draw/clsNoxStar.h"
#include "engine/sys/clsNoxPlay.h"
#include "engine/sys/clsNoxTimer.h"
#include "engine/sys/errors.h"
#include "engine/sys/rnd.h"
#include "platform/clock.h"
#include "platform/form.h"
#include "platform/input.h"
#include "platform/media.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace app {

// What the game window needs from the world outside it. Tests and the headless
// runner hand in fakes; `windows` is null when there is no window system.
struct Services {
    platform::Clock& clock;
    platform::KeyState& keys;
    platform::Joystick& joystick;
    platform::EventPump& events;
    platform::MediaPlayer& media;
    nox::Rnd& rnd;
    platform::WindowSystem* windows = nullptr;
    // Turns a game path ("c:\TarnChar.gif") into a file to open; throws
    // nox::FileError naming every place tried when there is none.
    std::function<std::string(std::string_view)> resolve;
};

// Called by the sortie at fixed points, for the headless runner's trace and timing.
class SortieObserver {
  public:
    virtual ~SortieObserver() = default;
    // After the sortie's preparation and the aircraft's placement, before frame 1.
    virtual void sortie_prepared() {}
    virtual void frame_started() {}
    // After the field was copied to the playfield (step 14).
    virtual void frame_painted() {}
    // After the field copy and the frame count (step 15).
    virtual void frame_counted() {}
};

// The file behind a game path ("c:\TarnChar.gif") in the game's data folder;
// throws nox::FileError naming every place tried when it is missing.
std::string resolve_game_path(std::string_view path);

// The window's title: "Skarvelin " with the version, " N" in unpaced mode.
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

    void set_observer(SortieObserver* observer) { observer_ = observer; }

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

    // The game's objects, owned here for the window's whole life.
    std::shared_ptr<nox::clsNoxField> fldStage;
    std::unique_ptr<nox::clsNoxTimer> tmrFrame;
    std::unique_ptr<nox::clsNoxPlay> plyInput;
    std::unique_ptr<nox::clsNoxPlay> plyArrow;
    std::unique_ptr<nox::clsNoxPlay> plyJoy;
    std::array<std::shared_ptr<nox::clsNoxStar>, 40> starList;
    std::shared_ptr<nox::clsNoxSprite> sprMy, sprMyBt, sprHit, sprEneBt, sprBurst;
    std::array<std::shared_ptr<nox::clsNoxSprite>, 6> sprEne;
    std::array<std::shared_ptr<nox::clsNoxMQL>, 3> mqlEne;
    std::shared_ptr<nox::clsNoxGroup> grpMyBt, grpEne, grpEneBt;
    std::shared_ptr<nox::clsNoxCharacter> chrMy;
    int16_t myTilt = 0;
    int16_t myShotCt = 0;
    int32_t frameCt = 0;
    bool noWait = false;
    bool busy = false;

  private:
    friend struct frmMainProbe; // tests drive single steps

    void build_layout();
    void send_media(std::string_view command);
    void set_title(bool unpaced);
    void load_sheet(platform::PictureBox& area);
    void print_chatter(std::string_view line);

    // The sortie.
    void SortieStart();
    void FrameLoop();
    void ProgramEnd();
    void PlaceMy();

    // Game steps.
    void SpriteInit();
    void StarInit();
    void StarMove();
    void EneMqlInit();
    void EneAppear();
    void EneMove();
    void EnePaint();
    void MyControl();
    void MyShot();
    void MyBtMove();
    void MyBtPaint();
    void EneBtMove();
    void EneBtPaint();
    void EneShot(int16_t vLeft, int16_t vTop);

    Services& services_;
    SortieObserver* observer_ = nullptr;
};

} // namespace app
