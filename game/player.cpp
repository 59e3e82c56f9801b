// The player's aircraft: its start position, and its flight under the three
// input readers, combined so that keypad, cursor keys and joystick work together.

#include "engine/sys/numbers.h"
#include "game/sortie.h"

namespace game {

namespace {

constexpr int16_t kStep = 6;
constexpr int16_t kMaxTilt = 4;
constexpr int16_t kShotInterval = 4;

// Every reader is asked, in order, whatever the earlier ones said.
bool any_held(int32_t a, int32_t b, int32_t c) {
    return (a != 0) | (b != 0) | (c != 0);
}

} // namespace

void Sortie::PlaceMy() {
    const double h = pictures_.picStage->scale_height();
    const int32_t y = nox::idiv(nox::round32(h - 36), 2);
    chrMy_->Create(sprMy_, 10, nox::to16(y), 1, 0);
    chrMy_->PtNo(2);
}

void Sortie::MyControl() {
    chrMy_->LeftTrans(0);
    chrMy_->TopTrans(0);
    const int16_t x = nox::round16(chrMy_->Left());
    const int16_t y = nox::round16(chrMy_->Top());

    if (!any_held(plyInput_->ButtonA(), plyArrow_->ButtonA(), plyJoy_->ButtonA())) {
        myShotCt_ = 0;
    } else {
        myShotCt_ = nox::sub16(myShotCt_, 1);
        if (myShotCt_ <= 0) {
            myShotCt_ = kShotInterval;
            MyShot();
        }
    }
    if (any_held(plyInput_->Left(), plyArrow_->Left(), plyJoy_->Left()) &&
        chrMy_->VerPosCheck(nox::sub16(x, 30), y) != 1) {
        chrMy_->LeftTrans(-kStep);
    }
    if (any_held(plyInput_->Right(), plyArrow_->Right(), plyJoy_->Right()) &&
        chrMy_->VerPosCheck(nox::add16(x, 54), y) != 1) {
        chrMy_->LeftTrans(kStep);
    }
    bool vertical = false;
    if (any_held(plyInput_->Up(), plyArrow_->Up(), plyJoy_->Up())) {
        if (chrMy_->VerPosCheck(x, nox::sub16(y, 46)) != 1) {
            chrMy_->TopTrans(-kStep);
        }
        if (myTilt_ < kMaxTilt) {
            ++myTilt_;
        }
        vertical = true;
    }
    if (any_held(plyInput_->Down(), plyArrow_->Down(), plyJoy_->Down())) {
        if (chrMy_->VerPosCheck(x, nox::add16(y, 46)) != 1) {
            chrMy_->TopTrans(kStep);
        }
        if (myTilt_ > -kMaxTilt) {
            --myTilt_;
        }
        vertical = true;
    }
    chrMy_->Move();
    chrMy_->PtNo(nox::to16(myTilt_ / 2 + 2)); // C++ division truncates toward zero, as \ does
    chrMy_->PaintEx();
    if (!vertical) {
        myTilt_ = static_cast<int16_t>(myTilt_ > 0 ? myTilt_ - 1 : (myTilt_ < 0 ? myTilt_ + 1 : 0));
    }
}

} // namespace game
