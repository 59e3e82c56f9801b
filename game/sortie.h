#pragma once
// The sortie: every object of the game's play and the steps that run a frame,
// apart from any window. The game window owns one and drives it from its frame
// loop; the headless runner drives the same object in a plain loop.

#include "engine/actor/clsNoxCharacter.h"
#include "engine/actor/clsNoxGroup.h"
#include "engine/actor/clsNoxMQL.h"
#include "engine/actor/slot_boxes.h"
#include "engine/draw/clsNoxField.h"
#include "engine/draw/clsNoxSprite.h"
#include "engine/draw/clsNoxStar.h"
#include "engine/sys/clsNoxPlay.h"
#include "engine/sys/rnd.h"
#include "platform/legacy/input.h"
#include "platform/legacy/picture_box.h"

#include <array>
#include <cstdint>
#include <memory>

namespace game {

// The smallest sheet that holds every rectangle the catalogue cuts from it.
struct SheetExtent {
    int16_t width;
    int16_t height;
};
SheetExtent sheet_extent();

// The picture areas the sortie plays on: the visible playfield and the two
// prepared copies of the sprite sheet.
struct SortiePictures {
    std::shared_ptr<platform::PictureBox> picStage;
    std::shared_ptr<platform::PictureBox> picCharData;
    std::shared_ptr<platform::PictureBox> picCharMask;
};

class Sortie {
  public:
    static constexpr size_t kStarCount = 39;

    Sortie(platform::KeyState& keys, platform::Joystick& joystick, nox::Rnd& rnd);
    Sortie(const Sortie&) = delete;
    Sortie& operator=(const Sortie&) = delete;

    // Puts the field on the playfield and opens the three input readers: keypad,
    // cursor keys, joystick 0.
    void Create(SortiePictures pictures);
    // The sortie's data: stars, sprite catalogue, motion lists, a frame count of 0.
    void Prepare();
    // The aircraft at its start position, before the first frame.
    void PlaceMy();
    // One frame: clear the field, the game steps in their order, copy the field to
    // the playfield, count the frame and print the count on the playfield.
    void Frame();
    // Drops the readers, then (after whatever the owner releases between) every
    // other object, the field last.
    void ReleaseReaders();
    void Release();

    // The game steps, callable one at a time.
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

    const std::shared_ptr<nox::clsNoxField>& fldStage() const { return fldStage_; }
    const std::shared_ptr<platform::PictureBox>& picStage() const { return pictures_.picStage; }
    nox::clsNoxPlay* plyInput() const { return plyInput_.get(); }
    const std::array<std::shared_ptr<nox::clsNoxStar>, 40>& starList() const { return starList_; }
    const std::shared_ptr<nox::clsNoxSprite>& sprMy() const { return sprMy_; }
    const std::shared_ptr<nox::clsNoxSprite>& sprMyBt() const { return sprMyBt_; }
    const std::shared_ptr<nox::clsNoxSprite>& sprHit() const { return sprHit_; }
    const std::shared_ptr<nox::clsNoxSprite>& sprEneBt() const { return sprEneBt_; }
    const std::shared_ptr<nox::clsNoxSprite>& sprBurst() const { return sprBurst_; }
    const std::array<std::shared_ptr<nox::clsNoxSprite>, 6>& sprEne() const { return sprEne_; }
    const std::array<std::shared_ptr<nox::clsNoxMQL>, 3>& mqlEne() const { return mqlEne_; }
    const std::shared_ptr<nox::clsNoxGroup>& grpMyBt() const { return grpMyBt_; }
    const std::shared_ptr<nox::clsNoxGroup>& grpEne() const { return grpEne_; }
    const std::shared_ptr<nox::clsNoxGroup>& grpEneBt() const { return grpEneBt_; }
    const std::shared_ptr<nox::clsNoxCharacter>& chrMy() const { return chrMy_; }
    int16_t myTilt() const { return myTilt_; }
    int16_t myShotCt() const { return myShotCt_; }
    int32_t frameCt() const { return frameCt_; }

  private:
    void PrintFrameCt();
    void move_my_bullets();
    void hit_first_enemy(nox::clsNoxCharacter& b);
    void hit(nox::clsNoxCharacter& b, nox::clsNoxCharacter& e, int16_t enemy_slot);

    nox::Rnd& rnd_;
    SortiePictures pictures_;
    std::shared_ptr<nox::clsNoxField> fldStage_;
    std::unique_ptr<nox::clsNoxPlay> plyInput_;
    std::unique_ptr<nox::clsNoxPlay> plyArrow_;
    std::unique_ptr<nox::clsNoxPlay> plyJoy_;
    std::array<std::shared_ptr<nox::clsNoxStar>, 40> starList_;
    std::shared_ptr<nox::clsNoxSprite> sprMy_, sprMyBt_, sprHit_, sprEneBt_, sprBurst_;
    std::array<std::shared_ptr<nox::clsNoxSprite>, 6> sprEne_;
    std::array<std::shared_ptr<nox::clsNoxMQL>, 3> mqlEne_;
    std::shared_ptr<nox::clsNoxGroup> grpMyBt_, grpEne_, grpEneBt_;
    std::shared_ptr<nox::clsNoxCharacter> chrMy_;
    nox::SlotBoxes eneBoxes_; // the enemies' boxes through the bullets' sub-steps
    int16_t myTilt_ = 0;
    int16_t myShotCt_ = 0;
    int32_t frameCt_ = 0;
};

} // namespace game
