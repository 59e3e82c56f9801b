// Font files found through fontconfig when the faces the game needs are missing.

#include "platform/system/desktop/font_lookup_fontconfig.h"
#include "platform/system/text.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const fs::path kLatinFace = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A fontconfig configuration whose one font folder holds `faces` alone.
struct FontFolder : ::testing::Test {
    ScratchDir scratch{"skarvelin-fonts"};

    platform::FontconfigLookup lookup(const std::vector<fs::path>& faces) {
        const fs::path folder = scratch.path() / "fonts", config = scratch.path() / "fonts.conf";
        fs::create_directories(folder);
        for (const fs::path& face : faces) {
            fs::create_symlink(face, folder / face.filename());
        }
        std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << folder.string()
                              << "</dir><cachedir>" << (scratch.path() / "cache").string()
                              << "</cachedir></fontconfig>\n";
        return platform::FontconfigLookup(config.string());
    }
};

} // namespace

TEST_F(FontFolder, AFaceWithoutJapaneseStandsInAndTheNeededFontIsSaidOncePerFamily) {
    if (!fs::exists(kLatinFace)) {
        GTEST_SKIP() << "no " << kLatinFace;
    }
    platform::FontconfigLookup fonts = lookup({kLatinFace});
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(fs::path(fonts.file("ＭＳ Ｐゴシック")).filename(), kLatinFace.filename());
    fonts.file("ＭＳ Ｐゴシック");
    fonts.file("ＭＳ 明朝");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("needs the IPA font IPAPGothic (Debian package fonts-ipafont-gothic); "
                        "\"DejaVu Sans\" stands in"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("IPAMincho (Debian package fonts-ipafont-mincho)"), std::string::npos);
}

TEST_F(FontFolder, NoFaceAtAllIsAnErrorNamingTheFontInPlainText) {
    platform::FontconfigLookup fonts = lookup({});
    try {
        fonts.file("ＭＳ Ｐゴシック");
        ADD_FAILURE() << "a face was found";
    } catch (const platform::FontNotFound& e) {
        EXPECT_EQ(std::string(e.what()), "no font found for the game's text: it needs the IPA "
                                         "font IPAPGothic (Debian package fonts-ipafont-gothic)");
    }
}
