#include "picturegen.h"

#include "renderer.h"
#include "scene_parser.h"
#include "source_text.h"

namespace picturegen {

Picture render_picture(const Scene& scene) {
    return quantize(render(scene));
}

void generate_picture(const std::filesystem::path& scene_file,
                      const std::filesystem::path& output) {
    if (!is_supported_output(output)) {
        throw PictureError(output.string() + ": unsupported picture type (use .bmp or .jpg)");
    }
    save_picture(render_picture(parse_scene_file(scene_file)), output);
}

} // namespace picturegen
