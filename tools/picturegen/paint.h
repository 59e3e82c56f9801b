#pragma once

#include "scene.h"

namespace picturegen {

Color mix(const Color& from, const Color& to, double t);
// The paint's colour at a point given in the paint's own coordinates.
Color color_at(const Paint& paint, Point p);

} // namespace picturegen
