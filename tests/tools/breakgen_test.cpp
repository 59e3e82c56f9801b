// The browser build's table of line breaks: which texts it finds in the game's sources.
#include "tools/breakgen/text_collection.h"

#include "platform/system/line_breaks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string file_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

const std::filesystem::path kSourceRoot =
    std::filesystem::path(SKARVELIN_TEST_DATA_DIR).parent_path().parent_path();

TEST(BreakgenLiterals, JoinAdjacentLiteralsAndDecodeEscapes) {
    const auto found = breakgen::string_literals(
        "f(\"one \"  // a comment between\n  \"two\", \"a\\\"b\\\\c\\n\");\n"
        "g(\"x\" /* c */ \"y\");");
    EXPECT_EQ(found, (std::set<std::string>{"one two", "a\"b\\c\n", "xy"}));
}

TEST(BreakgenLiterals, SkipCommentsCharactersAndRawStrings) {
    const auto found = breakgen::string_literals(
        "// \"in a comment\"\n/* \"in a block\" */ char q = '\"'; char e = '\\'';\n"
        "auto r = R\"x(raw \"text\")x\"; auto s = \"kept\";");
    EXPECT_EQ(found, (std::set<std::string>{"kept"}));
    // An unterminated literal or comment at the end is no reason to read past it.
    EXPECT_EQ(breakgen::string_literals("\"open"), (std::set<std::string>{"open"}));
    EXPECT_TRUE(breakgen::string_literals("/* open").empty());
    EXPECT_TRUE(breakgen::string_literals("R\"x(open").empty());
}

TEST(BreakgenTexts, StoredTextsLoseOnlyTheirFinalLineBreaks) {
    EXPECT_EQ(breakgen::stored_text("a\r\nb\r\n\n"), "a\r\nb");
    EXPECT_EQ(breakgen::stored_text("\n"), "");
}

TEST(BreakgenTexts, FindEveryWrappedTextOfTheScreens) {
    std::set<std::string> texts =
        breakgen::string_literals(file_text(kSourceRoot / "app" / "Form1.cpp"));
    // The title's second line is written as two literals.
    EXPECT_TRUE(texts.contains("2.スタートボタンを押すとロードが始まります。ロード終了後、"
                               "準備ができたら「S」を押して下さい。"));
    const std::string story =
        breakgen::stored_text(file_text(kSourceRoot / "data" / "texts" / "world1.txt"));
    ASSERT_FALSE(story.empty());
    EXPECT_NE(story.back(), '\n');
}

TEST(BreakgenTable, HoldsEachTextWithTheMarksTheDesktopComputes) {
    const std::string source = breakgen::table_source({"", "ab cd", "あ、い"});
    EXPECT_NE(source.find("{std::string_view(\"ab cd\", 5), \"22120\"}"), std::string::npos);
    EXPECT_EQ(source.find("std::string_view(\"\", 0)"), std::string::npos);
    // Control characters are written as escapes, so the text survives the compiler.
    const std::string with_newline = breakgen::table_source({"a\nb"});
    EXPECT_NE(with_newline.find("\"a\\012b\", 3"), std::string::npos);
}

TEST(BreakgenCharacters, ListEachCharacterOnceWithPrintableAscii) {
    const std::string characters = breakgen::characters_of({"あいあ", "い~"});
    EXPECT_NE(characters.find(' '), std::string::npos);
    EXPECT_NE(characters.find('~'), std::string::npos);
    EXPECT_EQ(characters.find("あ"), characters.rfind("あ"));
    EXPECT_EQ(characters.size(), 95u + 6u);
}

} // namespace
