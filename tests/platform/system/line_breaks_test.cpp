// Line-break marks: the table the browser build looks them up in, and the fallback for
// a text the table does not hold.
#include "platform/system/line_breaks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::BreakMark;

std::string spelled(const std::vector<BreakMark>& marks) {
    std::string out;
    for (const BreakMark m : marks) {
        out += static_cast<char>(m);
    }
    return out;
}

TEST(LineBreakFallback, NewlinesMustBreakAndAnyWholeCharacterMayEndALine) {
    EXPECT_EQ(spelled(platform::fallback_line_break_marks("ab\ncd")), "11010");
    // CR LF is one break, on the LF.
    EXPECT_EQ(spelled(platform::fallback_line_break_marks("a\r\nb")), "1200");
    // あ is three bytes: only its last may end a line.
    EXPECT_EQ(spelled(platform::fallback_line_break_marks("あい")), "331330");
    EXPECT_TRUE(platform::fallback_line_break_marks("").empty());
    // A lone continuation byte at the end still gets a mark and nothing is read beyond.
    EXPECT_EQ(platform::fallback_line_break_marks("a\x80").size(), 2u);
}

#ifdef _WIN32
constexpr const char* kNoUnibreak =
    "libunibreak is the Linux desktop's; Windows reads the table made with it at build time";
#endif

TEST(LineBreakTable, GivesAKnownTextItsComputedMarksAndAnUnknownOneTheFallback) {
#ifdef _WIN32
    GTEST_SKIP() << kNoUnibreak;
#else
    const std::string known = "3.終了するときは「Esc」キーを押して下さい。";
    const std::string marks = spelled(platform::computed_line_break_marks(known));
    const std::vector<platform::BreakTableEntry> table = {{"", ""}, {known, marks}, {"zzz", "220"}};
    EXPECT_EQ(spelled(platform::table_line_break_marks(known, table)), marks);
    EXPECT_EQ(platform::table_line_break_marks("not there", table),
              platform::fallback_line_break_marks("not there"));
    // An entry whose marks do not fit its text is not trusted.
    const std::vector<platform::BreakTableEntry> broken = {{"abc", "20"}};
    EXPECT_EQ(platform::table_line_break_marks("abc", broken),
              platform::fallback_line_break_marks("abc"));
    EXPECT_EQ(platform::table_line_break_marks("abc", {}),
              platform::fallback_line_break_marks("abc"));
#endif
}

TEST(LineBreakMarks, KeepTheJapaneseRulesThatTheFallbackCannot) {
#ifdef _WIN32
    GTEST_SKIP() << kNoUnibreak;
#else
    // "、" and "。" never start a line: no break is allowed before them.
    const std::string text = "準備ができたら、押して下さい。";
    const std::vector<BreakMark> marks = platform::computed_line_break_marks(text);
    const size_t comma = text.find("、");
    ASSERT_NE(comma, std::string::npos);
    EXPECT_EQ(marks[comma - 1], BreakMark::None);
    EXPECT_NE(platform::fallback_line_break_marks(text)[comma - 1], BreakMark::None);
#endif
}

} // namespace
