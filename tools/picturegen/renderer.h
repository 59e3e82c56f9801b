#pragma once

#include "canvas.h"
#include "scene.h"

namespace picturegen {

// Draws the scene over transparent black.
Canvas render(const Scene& scene);

} // namespace picturegen
