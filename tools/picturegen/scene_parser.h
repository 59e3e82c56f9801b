#pragma once

#include "scene.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace picturegen {

// Both throw PictureError ("file:line: problem") for anything malformed;
// `include` lines are looked up next to the file that names them.
Scene parse_scene_file(const std::filesystem::path& file);
Scene parse_scene_text(std::string_view text, const std::string& file,
                       const std::filesystem::path& include_dir);

} // namespace picturegen
