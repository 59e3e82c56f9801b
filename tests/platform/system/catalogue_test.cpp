#include "platform/system/catalogue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using platform::Catalogue;
using platform::CatalogueError;

namespace {

// A compiled catalogue of `entries` (the header first, as msgfmt writes it), in either byte order.
std::vector<unsigned char> compiled(const std::vector<std::pair<std::string, std::string>>& entries,
                                    bool big_endian = false) {
    std::vector<unsigned char> bytes;
    const auto word = [&](uint32_t w) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(uint8_t(w >> (big_endian ? 24 - 8 * i : 8 * i)));
        }
    };
    const uint32_t n = uint32_t(entries.size());
    const uint32_t originals = 28, translations = originals + 8 * n;
    uint32_t text_at = translations + 8 * n;
    std::string texts;
    std::vector<uint32_t> table;
    for (const bool translated : {false, true}) {
        for (const auto& [original, translation] : entries) {
            const std::string& text = translated ? translation : original;
            table.push_back(uint32_t(text.size()));
            table.push_back(text_at + uint32_t(texts.size()));
            texts += text + '\0';
        }
    }
    for (const uint32_t w : {0x950412deu, 0u, n, originals, translations, 0u, 0u}) {
        word(w);
    }
    for (const uint32_t w : table) {
        word(w);
    }
    bytes.insert(bytes.end(), texts.begin(), texts.end());
    return bytes;
}

const std::vector<std::pair<std::string, std::string>> kEntries = {
    {"", "Content-Type: text/plain; charset=UTF-8\n"},
    {"次へ", "Next"},
    {"戻る", std::string("Back\0Backs", 10)}};

} // namespace

TEST(Catalogue, TranslatesItsTextsInEitherByteOrderAndLeavesOthersAsWritten) {
    for (const bool big_endian : {false, true}) {
        const Catalogue catalogue = Catalogue::parse(compiled(kEntries, big_endian));
        EXPECT_EQ(catalogue.translate("次へ"), "Next");
        EXPECT_EQ(catalogue.translate("戻る"), "Back") << "the singular of a plural entry";
        EXPECT_EQ(catalogue.translate("出撃！"), "出撃！");
        EXPECT_EQ(catalogue.translate(""), "") << "the header is no text";
        EXPECT_EQ(catalogue.entries().size(), 2u);
    }
}

TEST(Catalogue, TrReadsTheInstalledCatalogue) {
    const Catalogue english = Catalogue::parse(compiled(kEntries));
    const Catalogue* before = platform::install_catalogue(&english);
    EXPECT_EQ(platform::tr("次へ"), "Next");
    platform::install_catalogue(nullptr);
    EXPECT_EQ(platform::tr("次へ"), "次へ");
    platform::install_catalogue(before);
}

TEST(Catalogue, BrokenBytesAreAnErrorNeverAReadOutside) {
    const std::vector<unsigned char> good = compiled(kEntries);
    EXPECT_THROW(Catalogue::parse({}), CatalogueError);
    EXPECT_THROW(Catalogue::parse(std::vector<unsigned char>(64, 0)), CatalogueError);
    for (size_t length = 0; length < good.size(); ++length) {
        EXPECT_THROW(Catalogue::parse({good.data(), length}), CatalogueError) << length;
    }
    std::vector<unsigned char> far = good;
    far[8] = 0xff; // a count of entries whose tables run past the end
    EXPECT_THROW(Catalogue::parse(far), CatalogueError);
    far = good;
    far[28 + 8 + 4 + 3] = 0x80; // an offset near 2^32
    EXPECT_THROW(Catalogue::parse(far), CatalogueError);
    far = good;
    far[4 + 2] = 7; // revision 7.0
    EXPECT_THROW(Catalogue::parse(far), CatalogueError);
}
