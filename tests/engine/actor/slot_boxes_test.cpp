// The boxes that stand in for PileCheckLt when no rounding or sum of a pair can
// overflow, against the test itself at the ends of the 16-bit range.

#include "engine/actor/slot_boxes.h"
#include "engine/draw/clsNoxField.h"
#include "platform/legacy/form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace nox;

namespace {

// Around both ends of 16 bits, and where halves round to even.
const std::vector<float> kEdges = {-40000.0f, -32768.5f, -32768.0f, -32767.5f, -32760.0f, -0.5f,
                                   0.0f,      0.5f,      1.5f,      32750.0f,  32751.0f,  32751.5f,
                                   32752.0f,  32767.0f,  32767.5f,  40000.0f,  NAN};

struct Boxes : ::testing::Test {
    std::shared_ptr<clsNoxField> field = std::make_shared<clsNoxField>();
    std::shared_ptr<clsNoxSprite> sprite = std::make_shared<clsNoxSprite>();

    void SetUp() override {
        field->Create(std::make_shared<platform::PictureBox>(0, 0, 512, 300), 0, 0);
        auto sheet = std::make_shared<platform::PictureBox>(0, 0, 64, 64);
        sprite->Create(field, sheet, sheet, 1);
        sprite->SetPtnPic(0, 0, 0, 16, 24);
    }
    std::shared_ptr<clsNoxCharacter> at(float left, float top) {
        auto c = std::make_shared<clsNoxCharacter>();
        c->Create(sprite, 0, 0, 1, 0);
        c->Left(left);
        c->Top(top);
        return c;
    }
};

} // namespace

TEST_F(Boxes, TwoBoxesAnswerAsPileCheckLtAndNeverRaise) {
    int boxed_pairs = 0;
    for (float x : kEdges) {
        for (float y : kEdges) {
            auto self = at(x, y);
            const auto box = self->pile_box();
            // Without a box, forming its own edges raises.
            EXPECT_EQ(!box,
                      [&] {
                          try {
                              self->PileCheckLt(*self);
                              return false;
                          } catch (const OverflowError&) {
                              return true;
                          }
                      }())
                << x << "," << y;
            for (float tx : {x - 16.0f, x - 17.0f, x + 16.0f, 0.0f, 32751.0f}) {
                auto target = at(tx, y + 24.0f);
                const auto target_box = target->pile_box();
                if (box && target_box) {
                    ++boxed_pairs;
                    ASSERT_EQ(self->PileCheckLt(*target), meets(*box, *target_box) ? 2 : 1)
                        << x << "," << y << " against " << tx;
                }
            }
        }
    }
    EXPECT_GT(boxed_pairs, 300);
}

TEST_F(Boxes, FirstMeetingSkipsFreeSlotsAndStopsAtUnboxedOnesAcrossChunks) {
    clsNoxGroup group;
    for (int i = 0; i < 20; ++i) { // three chunks of eight slots
        group.Add(at(static_cast<float>(i * 20), 0.0f));
    }
    group.Remove(3);
    group.Remove(12);
    group.Item(9)->Left(40000.0f); // cannot be rounded
    group.Item(17)->Sprite(nullptr);
    SlotBoxes boxes;
    boxes.Take(group);
    ASSERT_EQ(boxes.Slots(), 20);
    const PileBox wide{0, 0, 340, 10}; // reaches the slots left of 340: 0 to 17
    std::vector<int32_t> found;
    for (int32_t s = boxes.FirstMeeting(wide, 0); s < boxes.Slots();
         s = boxes.FirstMeeting(wide, s + 1)) {
        found.push_back(s);
    }
    EXPECT_EQ(found, (std::vector<int32_t>{0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 17}));
    EXPECT_FALSE(boxes.Boxed(9));
    EXPECT_FALSE(boxes.Boxed(17));
    EXPECT_EQ(boxes.FirstMeeting({-5, 0, -1, 10}, 0), 9); // touches nothing boxed
    EXPECT_EQ(boxes.FirstMeeting({381, 0, 381, 10}, 10), 17);
    EXPECT_EQ(boxes.FirstMeeting({-5, 0, -1, 10}, 18), 20);

    group.Item(0)->Sprite(nullptr);
    boxes.Retake(group, 0);
    EXPECT_FALSE(boxes.Boxed(0));
}
