// The enemies: their three flight paths, their entry at the right edge, their
// flight, and their explosion.

#include "engine/sys/numbers.h"
#include "game/group_walk.h"
#include "game/sortie.h"

namespace game {

namespace {

constexpr int16_t kEnemyCap = 100;

struct PathStep {
    float vx, vy;
    int32_t frames;
    int16_t inertia;
};

void add_steps(nox::clsNoxMQL& list, std::initializer_list<PathStep> steps) {
    for (const PathStep& s : steps) {
        list.Add(s.vx, s.vy, s.frames, s.inertia);
    }
}

} // namespace

void Sortie::EneMqlInit() {
    // Kind 0: a weave, then a turn back to the right.
    add_steps(*mqlEne_[0], {{-8, 0, 15, 0},
                            {0, -1, 5, 1},
                            {0, 1, 10, 1},
                            {0, -1, 5, 1},
                            {0.8f, 0, 30, 1},
                            {0, 0, 20, 1}});
    // Kinds 1 and 2: a dash, then a dive or a climb.
    add_steps(*mqlEne_[1], {{-4, 0, 1, 1}, {-0.5f, 0, 16, 1}, {0, 0, 20, 1}, {0, 1, 30, 1}});
    add_steps(*mqlEne_[2], {{-4, 0, 1, 1}, {-0.5f, 0, 16, 1}, {0, 0, 20, 1}, {0, -1, 30, 1}});
}

void Sortie::EneAppear() {
    nox::Rnd& rnd = rnd_;
    const int16_t kind = nox::round16(nox::fmul(rnd.next(), 2.0f));
    if (grpEne_->ItemCount() >= kEnemyCap) {
        return;
    }
    if (nox::fmul(rnd.next(), 20.0f) >= 4.0f) {
        return;
    }
    const auto W = static_cast<float>(pictures_.picStage->scale_width());
    const auto H = static_cast<float>(pictures_.picStage->scale_height());
    const int16_t R = sprEne_[0]->Height(0);
    const float r1 = rnd.next();
    const float r2 = rnd.next();

    const auto sprite = static_cast<size_t>(kind + 3);
    const int16_t top =
        nox::add16(nox::idiv(nox::round32(nox::fsub(H, R)), 2), nox::round16(nox::fmul(r1, 50.0f)));
    const int16_t hp = nox::add16(nox::round16(nox::fmul(r2, 6.0f)), 1);
    auto enemy = std::make_shared<nox::clsNoxCharacter>();
    enemy->Create(sprEne_[sprite], nox::round16(W), top, hp, 0);
    enemy->MQL(mqlEne_[static_cast<size_t>(kind)]);
    grpEne_->Add(enemy);
}

void Sortie::EneMove() {
    walk_group(*grpEne_, [this](int16_t i, nox::clsNoxCharacter& e) {
        e.MoveMQL();
        if (e.PosCheck() == 1) {
            grpEne_->Remove(i);
        }
    });
}

void Sortie::EnePaint() {
    walk_group(*grpEne_, [this](int16_t i, nox::clsNoxCharacter& e) {
        if (e.PosCheck() == 1) {
            return;
        }
        e.AutoAnime(2);
        e.PaintEx();
        if (e.Hp() <= 0) {
            e.Num(nox::sub32(e.Num(), 1));
            if (e.Num() <= 0) {
                grpEne_->Remove(i);
            }
        }
    });
}

} // namespace game
