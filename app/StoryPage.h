#pragma once
// A page of the back story: its text centred in silver, an illustration, and
// "次へ", which hides the page (it stays loaded) and shows the next screen modally.

#include "app/ScreenForm.h"
#include "app/Screens.h"

#include <string_view>

namespace app {

struct ControlPlace {
    int left, top, width, height;
};

// What sets one page of the story apart from the others.
struct StoryPageContent {
    std::string_view text;    // a stored text
    std::string_view picture; // a stored picture, stretched to its place
    ControlPlace text_place;
    ControlPlace picture_place;
    ControlPlace button_place;
    ScreenId screen;             // which of the story's screens the page is
    std::string_view music = {}; // the wave file the page starts as it loads; empty for none
};

// The world situation, pages 1 to 3; the briefing music starts on the first.
extern const StoryPageContent kWorld1Page;
extern const StoryPageContent kWorld2Page;
extern const StoryPageContent kWorld3Page;

class StoryPage : public ScreenForm {
  public:
    StoryPage(Screens& screens, const StoryPageContent& content);

    void Form_Load();
    void Command1_Click();

    platform::Button Command1;
    platform::Image Image1;
    platform::Label Label1;

  private:
    std::string_view music_;
    ScreenId screen_;
};

// The design's names of the three pages.
using Form2 = StoryPage;
using Form3 = StoryPage;
using Form4 = StoryPage;

} // namespace app
