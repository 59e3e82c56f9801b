// The starfield: 39 streaks drifting left behind everything else.

#include "game/sortie.h"

namespace game {

void Sortie::StarInit() {
    for (size_t i = 0; i < kStarCount; ++i) {
        starList_[i]->Init(fldStage_, 0);
    }
}

void Sortie::StarMove() {
    for (size_t i = 0; i < kStarCount; ++i) {
        starList_[i]->MovePaint();
    }
}

} // namespace game
