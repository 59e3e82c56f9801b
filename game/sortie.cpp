#include "game/sortie.h"

#include "engine/sys/numbers.h"

#include <string>

namespace game {

namespace {
const platform::ColorRef kStarTeal = platform::rgb(48, 176, 176);
}

Sortie::Sortie(platform::KeyState& keys, platform::Joystick& joystick, nox::Rnd& rnd)
    : rnd_(rnd), fldStage_(std::make_shared<nox::clsNoxField>()),
      plyInput_(std::make_unique<nox::clsNoxPlay>(keys, joystick)),
      plyArrow_(std::make_unique<nox::clsNoxPlay>(keys, joystick)),
      plyJoy_(std::make_unique<nox::clsNoxPlay>(keys, joystick)),
      grpMyBt_(std::make_shared<nox::clsNoxGroup>()), grpEne_(std::make_shared<nox::clsNoxGroup>()),
      grpEneBt_(std::make_shared<nox::clsNoxGroup>()),
      chrMy_(std::make_shared<nox::clsNoxCharacter>()) {
    for (auto& star : starList_) {
        star = std::make_shared<nox::clsNoxStar>(rnd);
    }
    for (auto* sprite : {&sprMy_, &sprMyBt_, &sprHit_, &sprEneBt_, &sprBurst_}) {
        *sprite = std::make_shared<nox::clsNoxSprite>();
    }
    for (auto& sprite : sprEne_) {
        sprite = std::make_shared<nox::clsNoxSprite>();
    }
    for (auto& list : mqlEne_) {
        list = std::make_shared<nox::clsNoxMQL>();
    }
}

void Sortie::Create(SortiePictures pictures) {
    pictures_ = std::move(pictures);
    fldStage_->Create(pictures_.picStage, 0, 0);
    fldStage_->ForeColor(kStarTeal);
    plyInput_->Init(0, 0);
    plyArrow_->Init(1, 0);
    plyJoy_->Init(2, 0);
}

void Sortie::Prepare() {
    StarInit();
    SpriteInit();
    EneMqlInit();
    frameCt_ = 0;
}

void Sortie::Frame() {
    fldStage_->ClsB();
    StarMove();
    EneMove();
    // No enemy moves through the bullets' three sub-steps: their boxes are taken once.
    eneBoxes_.Take(*grpEne_);
    move_my_bullets();
    EneBtMove();
    move_my_bullets();
    EneBtMove();
    move_my_bullets();
    EneAppear();
    EnePaint();
    MyControl();
    EneBtPaint();
    MyBtPaint();
    fldStage_->Paint();
    frameCt_ = nox::add32(frameCt_, 1);
    PrintFrameCt();
}

void Sortie::PrintFrameCt() {
    // Straight onto the playfield, over the copied frame, until the next copy covers it.
    platform::PictureBox& stage = *pictures_.picStage;
    stage.current_x = 10;
    stage.current_y = 10;
    stage.print(" " + std::to_string(frameCt_) + " ");
}

void Sortie::ReleaseReaders() {
    plyInput_.reset();
    plyArrow_.reset();
    plyJoy_.reset();
}

void Sortie::Release() {
    for (auto& star : starList_) {
        star.reset();
    }
    for (auto& sprite : sprEne_) {
        sprite.reset();
    }
    for (auto& list : mqlEne_) {
        list.reset();
    }
    for (auto* group : {&grpMyBt_, &grpEne_, &grpEneBt_}) {
        group->reset();
    }
    chrMy_.reset();
    for (auto* sprite : {&sprMy_, &sprMyBt_, &sprHit_, &sprEneBt_, &sprBurst_}) {
        sprite->reset();
    }
    fldStage_.reset();
}

} // namespace game
