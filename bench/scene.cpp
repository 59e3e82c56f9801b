#include "scene.h"

#include "app/playfield.h"
#include "app/services.h"
#include "app/sheet_file.h"
#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/numbers.h"

namespace bench {

namespace {

std::shared_ptr<platform::PictureBox> sheet_area() {
    auto area = app::make_sheet_area(0, 0);
    app::load_sheet(*area, app::resolve_game_path("c:\\TarnChar.gif"));
    return area;
}

void empty_group(nox::clsNoxGroup& group) {
    for (int16_t i = 0; i <= group.Count(); ++i) {
        group.Remove(i);
    }
}

} // namespace

std::shared_ptr<platform::Bitmap> load_game_sheet() {
    return sheet_area()->image();
}

game::SortiePictures prepared_pictures() {
    game::SortiePictures p{app::make_playfield(), sheet_area(), sheet_area()};
    nox::KeyToBlack(*p.picCharData->image());
    nox::MakeMask(*p.picCharMask->image());
    return p;
}

FullLoadScene::FullLoadScene() {
    sortie_.Create(prepared_pictures());
    sortie_.Prepare();
    sortie_.PlaceMy();
    refill();
}

void FullLoadScene::refill() {
    game::Sortie& s = sortie_;
    empty_group(*s.grpEne());
    empty_group(*s.grpMyBt());
    // Ten rows of ten craft over the whole field, every tenth one exploding.
    for (int i = 0; i < kEnemies; ++i) {
        const auto kind = static_cast<size_t>(i % 3);
        auto enemy = std::make_shared<nox::clsNoxCharacter>();
        enemy->Create(s.sprEne()[kind + 3], static_cast<int16_t>(40 + (i % 10) * 46),
                      static_cast<int16_t>(6 + (i / 10) * 29), static_cast<int16_t>(1 + i % 7), 0);
        enemy->MQL(s.mqlEne()[kind]);
        if (i % (kEnemies / kExploding) == 5) {
            enemy->Hp(0);
            enemy->ChangeSprite(s.sprBurst(), 1);
            enemy->Num(5);
        }
        s.grpEne()->Add(enemy);
    }
    // Bursts of three on their way from the fighter's nose.
    for (int i = 0; i < kBullets; ++i) {
        auto bullet = std::make_shared<nox::clsNoxCharacter>();
        bullet->Create(s.sprMyBt(), static_cast<int16_t>(58 + (i / 3) * 40),
                       static_cast<int16_t>(132 + (i / 3) * 6 + (i % 3) * 8), 1, 6);
        bullet->LeftTrans(12);
        bullet->TopTrans(static_cast<float>(1 - i % 3));
        s.grpMyBt()->Add(bullet);
    }
}

std::vector<SceneDraw> FullLoadScene::draws() const {
    std::vector<SceneDraw> out;
    auto add = [&out](const nox::clsNoxCharacter& c) {
        out.push_back(
            {&c.Sprite()->Pattern(c.PtNo()), nox::round16(c.Left()), nox::round16(c.Top())});
    };
    auto add_group = [&add](const nox::clsNoxGroup& group) {
        for (int16_t i = 0; i <= group.Count(); ++i) {
            if (group.Enabled(i) != nox::kFalse) {
                add(*group.Item(i));
            }
        }
    };
    add_group(*sortie_.grpEne());
    add(*sortie_.chrMy());
    add_group(*sortie_.grpMyBt());
    return out;
}

} // namespace bench
