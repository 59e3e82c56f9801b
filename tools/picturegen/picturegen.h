#pragma once

#include "picture_file.h"
#include "scene.h"

#include <filesystem>

namespace picturegen {

Picture render_picture(const Scene& scene);

// Reads, draws and saves one scene. Throws PictureError.
void generate_picture(const std::filesystem::path& scene_file, const std::filesystem::path& output);

} // namespace picturegen
