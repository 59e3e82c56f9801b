// The starfield: 39 streaks drifting left behind everything else.

#include "app/frmMain.h"

namespace app {

namespace {
constexpr size_t kStars = 39;
}

void frmMain::StarInit() {
    for (size_t i = 0; i < kStars; ++i) {
        starList[i]->Init(fldStage, 0);
    }
}

void frmMain::StarMove() {
    for (size_t i = 0; i < kStars; ++i) {
        starList[i]->MovePaint();
    }
}

} // namespace app
