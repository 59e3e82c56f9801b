// Hard-wrapping messages for a box that would otherwise grow as wide as its longest line.

#include "platform/system/message_wrap.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using platform::wrap_message;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> words_of(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

size_t characters(const std::string& utf8) {
    size_t count = 0;
    for (char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

std::string without_newlines(std::string text) {
    std::erase(text, '\n');
    return text;
}

} // namespace

TEST(WrapMessage, TextThatFitsIsUntouched) {
    for (const std::string& text : std::vector<std::string>{
             "", "x", std::string(70, 'a'), "two  blanks", "  indented and trailing  ",
             "Run-time error '53':\nshort", "a\n\nb\n", "機体説明", "\xE3\x81", "\xFF\x80 x"}) {
        EXPECT_EQ(wrap_message(text, 70), text);
    }
}

TEST(WrapMessage, BreaksAtTheLastBlankThatFitsAndDropsIt) {
    EXPECT_EQ(wrap_message("aaa bbb ccc", 7), "aaa bbb\nccc");
    EXPECT_EQ(wrap_message("aaa bbb ccc", 6), "aaa\nbbb\nccc");
    EXPECT_EQ(wrap_message("aaa    bbb", 8), "aaa\nbbb");
    EXPECT_EQ(wrap_message("aaa bbb   ", 7), "aaa bbb");
}

TEST(WrapMessage, WordsWithoutBlanksStayWholeEvenWhenTooLong) {
    const std::string path =
        "\"/home/player/games/skarvelin/share/data/of/a/deep/prefix/TarnChar.gif\"";
    const std::string text = "looked for " + path + " (in any letter case); set SKARVELIN_DATA";
    const std::string wrapped = wrap_message(text, 30);
    EXPECT_EQ(words_of(wrapped), words_of(text));
    const std::vector<std::string> lines = lines_of(wrapped);
    ASSERT_EQ(lines.size(), 4u) << wrapped;
    EXPECT_EQ(lines[0], "looked for");
    EXPECT_EQ(lines[1], path);
    for (const std::string& line : lines) {
        EXPECT_TRUE(line.size() <= 30 || line == path) << line;
    }
}

TEST(WrapMessage, KeepsExistingNewlinesAndWrapsEachLineOnItsOwn) {
    EXPECT_EQ(wrap_message("Run-time error '53':\naaa bbb ccc ddd eee fff", 20),
              "Run-time error '53':\naaa bbb ccc ddd eee\nfff");
    EXPECT_EQ(wrap_message("aa bb\n\ncc dd\n", 2), "aa\nbb\n\ncc\ndd\n");
}

TEST(WrapMessage, CountsCharactersNotBytes) {
    const std::string ten = "ジークフリート１号機"; // 10 characters, 30 bytes
    EXPECT_EQ(wrap_message(ten, 10), ten);
    EXPECT_EQ(wrap_message("ab " + ten, 13), "ab " + ten);
    EXPECT_EQ(wrap_message("ab " + ten, 12), "ab ジークフリート１号\n機");
}

TEST(WrapMessage, JapaneseBreaksBetweenCharactersButNotBeforeClosingMarks) {
    const std::string text =
        "管制塔よりジークフリート1、滑走路34に向かってタキシングを開始せよ。「了解」、離陸する。";
    const std::string wrapped = wrap_message(text, 10);
    EXPECT_EQ(without_newlines(wrapped), text);
    const std::vector<std::string> lines = lines_of(wrapped);
    EXPECT_GT(lines.size(), 4u) << wrapped;
    for (const std::string& line : lines) {
        EXPECT_LE(characters(line), 10u) << line;
        for (const char* closing : {"、", "。", "」", "ー"}) {
            EXPECT_FALSE(line.starts_with(closing)) << line;
        }
        EXPECT_FALSE(line.ends_with("「")) << line;
    }
}

TEST(WrapMessage, LatinWordsInsideJapaneseTextStayWhole) {
    const std::string wrapped = wrap_message("ファイルc:\\TarnChar.gifが見つかりません", 8);
    EXPECT_EQ(wrapped, "ファイル\nc:\\TarnChar.gif\nが見つかりません");
}

TEST(WrapMessage, MalformedUtf8PassesThroughWhole) {
    // Cut-off sequences, stray continuation bytes and a lead byte at the very end.
    const std::string text = "ab \xE3\x81 \x80\x80\x80 \xF0\x9F cd \xE3";
    const std::string wrapped = wrap_message(text, 3);
    EXPECT_EQ(words_of(wrapped), words_of(text));
    EXPECT_EQ(wrap_message(text, 0), "ab\n\xE3\x81\n\x80\x80\x80\n\xF0\x9F\ncd\n\xE3");
}
