#pragma once
// What the benchmarks draw: the game's own sheet, prepared as the loading
// sequence leaves it, and a sortie filled to the most the rules allow.

#include "engine/draw/clsNoxPattern.h"
#include "game/sortie.h"
#include "platform/legacy/form.h"
#include "platform/legacy/input.h"
#include "tests/support/fake_input.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace bench {

// The game's sheet file, unprepared: what a plain SDL game would load.
std::shared_ptr<platform::Bitmap> load_game_sheet();

// The playfield and both prepared copies of the sheet.
game::SortiePictures prepared_pictures();

// One masked draw of a frame: which pattern, and where on the field.
struct SceneDraw {
    nox::clsNoxPattern* pattern;
    int16_t x, y;
};

// A sortie at full load: 100 enemies (ten of them exploding), 17 player bullets,
// 39 stars and the fighter. Frames change the groups, so refill() puts the same
// scene back before each timed frame.
class FullLoadScene {
  public:
    static constexpr int kEnemies = 100;
    static constexpr int kExploding = 10;
    static constexpr int kBullets = 17;

    FullLoadScene();
    FullLoadScene(const FullLoadScene&) = delete;
    FullLoadScene& operator=(const FullLoadScene&) = delete;

    void refill();
    game::Sortie& sortie() { return sortie_; }
    // The sprites of the scene as it stands, in the order the frame paints them.
    std::vector<SceneDraw> draws() const;

  private:
    platform::FakeKeys keys_;
    platform::FakeJoystick joystick_;
    nox::SeededRnd rnd_{1, false};
    game::Sortie sortie_{keys_, joystick_, rnd_};
};

} // namespace bench
