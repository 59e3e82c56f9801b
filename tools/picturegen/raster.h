#pragma once

#include "geometry.h"

#include <vector>

namespace picturegen {

// How much of each pixel a shape covers (0..1), over the shape's bounding box
// clipped to the canvas. Coordinates are canvas pixels.
struct Coverage {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<float> alpha;

    static Coverage box(int left, int top, int right, int bottom, int canvas_width,
                        int canvas_height);
    bool empty() const { return width <= 0 || height <= 0; }
    float& at(int x, int y) {
        return alpha[static_cast<std::size_t>((y - top) * width + x - left)];
    }
    float at(int x, int y) const {
        return alpha[static_cast<std::size_t>((y - top) * width + x - left)];
    }
};

// Open contours are filled as if closed.
Coverage fill_coverage(const std::vector<Contour>& contours, FillRule rule, int canvas_width,
                       int canvas_height);

// Round joins and caps; lines thinner than a pixel fade instead of breaking up.
// The contours are in device space, `width` in the space `transform` maps from,
// so a stroke squeezed by an uneven scale keeps its true shape.
Coverage stroke_coverage(const std::vector<Contour>& contours, double width,
                         const Transform& transform, int canvas_width, int canvas_height);

} // namespace picturegen
