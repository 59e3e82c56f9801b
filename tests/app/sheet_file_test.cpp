// The sprite sheet file as the game window and the runner load it.

#include "app/sheet_file.h"
#include "engine/sys/errors.h"
#include "game/sortie.h"
#include "platform/system/file_bytes.h"
#include "platform/system/image.h"
#include "tests/support/fifo.h"
#include "tests/support/game_data.h"
#include "tests/support/gif_bytes.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::string refusal(std::string_view bytes) {
    try {
        app::decode_sheet(bytes, "/data/TarnChar.gif");
    } catch (const nox::FileError& e) {
        EXPECT_EQ(e.code(), 53);
        return e.what();
    }
    return "";
}

std::string sheet_bytes() {
    return platform::read_file_bytes(game_sheet_file(), app::kMaxSheetFileBytes);
}

} // namespace

TEST(SheetFile, TheGamesSheetDecodesToTheSamePixelsAsTheImageLibraryGives) {
    const auto ours = app::decode_sheet(sheet_bytes(), game_sheet_file());
    EXPECT_EQ(*ours, *platform::load_image_file(game_sheet_file()));
    const game::SheetExtent needed = game::sheet_extent();
    EXPECT_EQ(needed.width, 304);
    EXPECT_EQ(needed.height, 600);
    EXPECT_GE(ours->width(), needed.width);
    EXPECT_GE(ours->height(), needed.height);
}

TEST(SheetFile, SheetsTooSmallTooLargeOrCutShortAreRefusedByName) {
    const std::string whole = sheet_bytes();
    for (const std::string& bad : {gif_bytes(1, 1, 2), gif_bytes(10, 10, 2), gif_bytes(303, 600, 2),
                                   gif_header_claiming(23200, 23200), whole.substr(0, 800),
                                   whole.substr(0, whole.size() - 2), std::string("GIF89a")}) {
        const std::string why = refusal(bad);
        EXPECT_EQ(why.rfind("cannot use the sprite sheet \"/data/TarnChar.gif\": ", 0), 0u) << why;
    }
    EXPECT_NE(refusal(gif_bytes(10, 10, 2)).find("smaller than the 304 x 600 needed"),
              std::string::npos);
}

TEST(SheetFile, AFolderAFifoOrAMissingFileIsAFileError) {
    SKIP_WITHOUT_FIFOS();
    ScratchDir scratch{"skarvelin-sheet"};
    platform::PictureBox area(0, 0, 119, 47);
    ASSERT_TRUE(make_fifo(scratch.path() / "fifo.gif"));
    for (const auto& path :
         {scratch.path(), scratch.path() / "none.gif", scratch.path() / "fifo.gif"}) {
        try {
            app::load_sheet(area, path.string());
            ADD_FAILURE() << path << " was loaded";
        } catch (const nox::FileError& e) {
            EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
        }
    }
}
