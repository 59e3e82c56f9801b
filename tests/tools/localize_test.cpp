// The launcher's and software centre's entries written in both languages from the catalogue.

#include "tools/localize/localized_files.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What msgfmt --no-hash compiles of: 戦闘機 -> Fighter, 星空 -> Starfield.
const std::string
    kCatalogue("\xde\x12\x04\x95\x00\x00\x00\x00\x02\x00\x00\x00\x1c\x00\x00\x00\x2c\x00\x00\x00"
               "\x00\x00\x00\x00\x3c\x00\x00\x00\x09\x00\x00\x00\x3c\x00\x00\x00\x06\x00\x00\x00"
               "\x46\x00\x00\x00\x07\x00\x00\x00\x4d\x00\x00\x00\x09\x00\x00\x00\x55\x00\x00\x00"
               "\xe6\x88\xa6\xe9\x97\x98\xe6\xa9\x9f\x00\xe6\x98\x9f\xe7\xa9\xba\x00\x46\x69\x67"
               "\x68\x74\x65\x72\x00\x53\x74\x61\x72\x66\x69\x65\x6c\x64\x00",
               95);

} // namespace

TEST(Localize, EntriesGetEnglishPlainAndTheJapaneseMarked) {
    const platform::Catalogue english = platform::Catalogue::parse(
        {reinterpret_cast<const unsigned char*>(kCatalogue.data()), kCatalogue.size()});
    EXPECT_EQ(localize::filled("a.desktop.in", "[Desktop Entry]\nName=戦闘機\nExec=x\n", english),
              "[Desktop Entry]\nName=Fighter\nName[ja]=戦闘機\nExec=x\n");
    EXPECT_EQ(localize::filled("a.xml.in", "<c>\n  <summary>星空</summary>\n</c>\n", english),
              "<c>\n  <summary>Starfield</summary>\n  <summary xml:lang=\"ja\">星空</summary>\n"
              "</c>\n");
    EXPECT_THROW(localize::filled("a.desktop.in", "Comment=出撃\n", english), std::runtime_error);
}

TEST(Localize, TheTemplateHoldsEachTextOnceWithItsFile) {
    const std::vector<std::string> page =
        localize::texts_of("page.html", "<b data-t=\"出撃\">出撃</b> t('終了') t('出撃')");
    EXPECT_EQ(page, (std::vector<std::string>{"終了", "出撃", "出撃"}));
    const std::string pot = localize::pot_of(
        {{"終了", "page.html"}, {"終了", "page.html"}, {"引用\"符\"", "world.txt"}});
    EXPECT_EQ(pot.find("msgid \"終了\""), pot.rfind("msgid \"終了\""));
    EXPECT_NE(pot.find("#: world.txt\nmsgid \"引用\\\"符\\\"\"\nmsgstr \"\""), std::string::npos);
}
