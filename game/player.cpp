// The player's aircraft: its start position, and its flight under the three
// input readers, combined so that keypad, cursor keys and joystick work together.

#include "app/frmMain.h"
#include "engine/sys/numbers.h"

namespace app {

namespace {

constexpr int16_t kStep = 6;
constexpr int16_t kMaxTilt = 4;
constexpr int16_t kShotInterval = 4;

// Every reader is asked, in order, whatever the earlier ones said.
bool any_held(int32_t a, int32_t b, int32_t c) {
    return (a != 0) | (b != 0) | (c != 0);
}

} // namespace

void frmMain::PlaceMy() {
    const double h = picStage->scale_height();
    const int32_t y = nox::idiv(nox::round32(h - 36), 2);
    chrMy->Create(sprMy, 10, nox::to16(y), 1, 0);
    chrMy->PtNo(2);
}

void frmMain::MyControl() {
    chrMy->LeftTrans(0);
    chrMy->TopTrans(0);
    const int16_t x = nox::round16(chrMy->Left());
    const int16_t y = nox::round16(chrMy->Top());

    if (!any_held(plyInput->ButtonA(), plyArrow->ButtonA(), plyJoy->ButtonA())) {
        myShotCt = 0;
    } else {
        myShotCt = nox::sub16(myShotCt, 1);
        if (myShotCt <= 0) {
            myShotCt = kShotInterval;
            MyShot();
        }
    }
    if (any_held(plyInput->Left(), plyArrow->Left(), plyJoy->Left()) &&
        chrMy->VerPosCheck(nox::sub16(x, 30), y) != 1) {
        chrMy->LeftTrans(-kStep);
    }
    if (any_held(plyInput->Right(), plyArrow->Right(), plyJoy->Right()) &&
        chrMy->VerPosCheck(nox::add16(x, 54), y) != 1) {
        chrMy->LeftTrans(kStep);
    }
    bool vertical = false;
    if (any_held(plyInput->Up(), plyArrow->Up(), plyJoy->Up())) {
        if (chrMy->VerPosCheck(x, nox::sub16(y, 46)) != 1) {
            chrMy->TopTrans(-kStep);
        }
        if (myTilt < kMaxTilt) {
            ++myTilt;
        }
        vertical = true;
    }
    if (any_held(plyInput->Down(), plyArrow->Down(), plyJoy->Down())) {
        if (chrMy->VerPosCheck(x, nox::add16(y, 46)) != 1) {
            chrMy->TopTrans(kStep);
        }
        if (myTilt > -kMaxTilt) {
            --myTilt;
        }
        vertical = true;
    }
    chrMy->Move();
    chrMy->PtNo(nox::to16(myTilt / 2 + 2)); // C++ division truncates toward zero, as \ does
    chrMy->PaintEx();
    if (!vertical) {
        myTilt = static_cast<int16_t>(myTilt > 0 ? myTilt - 1 : (myTilt < 0 ? myTilt + 1 : 0));
    }
}

} // namespace app
