// Sprite-sheet files: loaded and prepared the way the game window does.

#include "app/sheet_file.h"
#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/errors.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const auto colours = app::decode_sheet(bytes, "fuzz.gif");
        auto mask = std::make_shared<platform::Bitmap>(*colours);
        nox::KeyToBlack(*colours);
        nox::MakeMask(*mask);
    } catch (const nox::FileError&) {
        // A refused sheet is the expected outcome of most inputs.
    }
    return 0;
}
