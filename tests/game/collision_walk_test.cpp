// The bullets' sub-step, which finds hits through the enemies' boxes, against the
// walk that tests every pair in slot order: on scenes a seed draws, with enemies near
// the ends of 16 bits, exploding, without a sprite, and free slots between.

#include "game/sortie.h"
#include "tests/support/fake_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>

using nox::clsNoxCharacter;

namespace {

struct Scene {
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    nox::ListRnd rnd{std::vector<float>{}};
    game::Sortie sortie{keys, joystick, rnd};

    explicit Scene(uint32_t seed) {
        auto area = [](int w, int h) { return std::make_shared<platform::PictureBox>(0, 0, w, h); };
        sortie.Create({area(512, 300), area(320, 600), area(320, 600)});
        sortie.SpriteInit();
        std::mt19937 gen(seed);
        auto chance = [&](unsigned percent) { return gen() % 100 < percent; };
        // In halves, so that roundings to even come up.
        auto near = [&](int from, int span) { return float(from) + float(gen() % (2 * span)) / 2; };
        const float edges[] = {-32768.5f, -32760.0f, 32740.0f, 32751.0f, 32751.5f, 32767.5f, NAN};
        auto edge = [&] { return edges[gen() % std::size(edges)]; };
        const int16_t hps[] = {-1, 0, 1, 1, 2, 3, 7};
        for (unsigned i = 0, n = gen() % 40; i < n; ++i) {
            auto e = std::make_shared<clsNoxCharacter>();
            e->Create(sortie.sprEne()[3 + gen() % 3], 0, 0, hps[gen() % std::size(hps)], 0);
            e->Left(chance(5) ? edge() : near(40, 200));
            e->Top(chance(5) ? edge() : near(100, 80));
            if (chance(10)) {
                e->ChangeSprite(chance(50) ? sortie.sprBurst() : nullptr, 1);
            }
            sortie.grpEne()->Add(e);
        }
        for (int16_t i = 0; i <= sortie.grpEne()->Count(); ++i) {
            if (chance(15)) {
                sortie.grpEne()->Remove(i);
            }
        }
        for (unsigned i = 0, n = gen() % 16; i < n; ++i) {
            auto b = std::make_shared<clsNoxCharacter>();
            b->Create(chance(10) ? sortie.sprHit() : sortie.sprMyBt(), 0, 0, hps[gen() % 4], 6);
            b->Left(near(20, 200));
            b->Top(near(100, 80));
            b->LeftTrans(12);
            b->TopTrans(float(1 - int(i % 3)));
            sortie.grpMyBt()->Add(b);
        }
    }

    // Every pair in slot order, each test rounding and summing as it goes.
    void ordered_sub_step() {
        nox::clsNoxGroup& bullets = *sortie.grpMyBt();
        nox::clsNoxGroup& enemies = *sortie.grpEne();
        for (int16_t i = 0, last = bullets.Count(); i <= last; ++i) {
            if (!bullets.Enabled(i)) {
                continue;
            }
            auto b = bullets.Item(i);
            b->Move();
            if (b->PosCheck() == 1) {
                bullets.Remove(i);
                continue;
            }
            for (int16_t j = 0; j <= enemies.Count(); ++j) {
                auto e = enemies.Item(j);
                if (!enemies.Enabled(j) || e->Hp() <= 0 || b->PileCheckLt(*e) == 1) {
                    continue;
                }
                const int16_t d = b->Hp();
                b->Hp(nox::sub16(b->Hp(), e->Hp()));
                if (b->Hp() <= 0) {
                    b->ChangeSprite(sortie.sprHit(), 0);
                    b->Hp(0);
                }
                e->Hp(nox::sub16(e->Hp(), d));
                if (e->Hp() <= 0) {
                    e->ChangeSprite(sortie.sprBurst(), 1);
                    e->Num(5);
                }
                break;
            }
        }
    }

    // Three sub-steps, or fewer when one raises: the error's number, then every slot.
    template <typename SubStep> std::string run(SubStep sub_step) {
        std::ostringstream out;
        try {
            for (int i = 0; i < 3; ++i) {
                sub_step();
            }
        } catch (const nox::NoxError& e) {
            out << "error " << e.code() << "\n";
        }
        for (auto* group : {sortie.grpMyBt().get(), sortie.grpEne().get()}) {
            for (int16_t i = 0; i <= group->Count(); ++i) {
                if (auto c = group->Item(i); c && group->Enabled(i)) {
                    out << i << ": " << c->Left() << " " << c->Top() << " hp " << c->Hp() << " num "
                        << c->Num() << " look " << look(*c) << " " << c->PtNo() << "\n";
                }
            }
            out << "--\n";
        }
        return out.str();
    }

    std::string look(const clsNoxCharacter& c) const {
        return c.Sprite() == sortie.sprHit()     ? "hit"
               : c.Sprite() == sortie.sprBurst() ? "burst"
               : c.Sprite() == nullptr           ? "none"
                                                 : "craft";
    }
};

} // namespace

TEST(CollisionWalk, BoxedSubStepsHitAndRaiseWhereTheOrderedWalkDoes) {
    int raised = 0, hits = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        Scene boxed(seed), ordered(seed);
        const std::string expected = ordered.run([&] { ordered.ordered_sub_step(); });
        ASSERT_EQ(boxed.run([&] { boxed.sortie.MyBtMove(); }), expected) << "seed " << seed;
        raised += expected.starts_with("error");
        hits += expected.find("num 5 look burst") != std::string::npos;
    }
    // The scenes reach both: errors near the limits, and hits.
    EXPECT_GT(raised, 40) << raised;
    EXPECT_GT(hits, 50);
}
