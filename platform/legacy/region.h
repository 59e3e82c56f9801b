#pragma once
// The rounded rectangles that cut windows and picture areas to shape.

namespace platform {

struct RoundRegion {
    int left, top, right, bottom; // corners, right and bottom exclusive
    int ellipse_width, ellipse_height;
    bool contains(int x, int y) const;
    // The points of row y inside the region are [x0, x1); false when there are none.
    bool row_span(int y, int& x0, int& x1) const;
    bool operator==(const RoundRegion&) const = default;
};

} // namespace platform
