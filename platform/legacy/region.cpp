#include "platform/legacy/region.h"

#include <algorithm>
#include <cmath>

namespace platform {

bool RoundRegion::contains(int x, int y) const {
    if (x < left || y < top || x >= right || y >= bottom) {
        return false;
    }
    // Distance from the nearest corner ellipse's centre, in the ellipse's own scale.
    const double rx = ellipse_width / 2.0, ry = ellipse_height / 2.0;
    const double cx =
        x + 0.5 < left + rx ? left + rx : (x + 0.5 > right - rx ? right - rx : x + 0.5);
    const double cy =
        y + 0.5 < top + ry ? top + ry : (y + 0.5 > bottom - ry ? bottom - ry : y + 0.5);
    if (rx <= 0 || ry <= 0) {
        return true;
    }
    const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
    return nx * nx + ny * ny <= 1.0;
}

bool RoundRegion::row_span(int y, int& x0, int& x1) const {
    if (y < top || y >= bottom || left >= right) {
        return false;
    }
    // Each row of a rounded rectangle is one run, shortened alike at both ends by the
    // corners. The search starts a pixel short of where the corner's ellipse crosses the
    // row, so that contains() alone decides the ends, as from the edges.
    int a = left;
    const double rx = ellipse_width / 2.0, ry = ellipse_height / 2.0;
    if (rx > 0 && ry > 0) {
        const double cy =
            y + 0.5 < top + ry ? top + ry : (y + 0.5 > bottom - ry ? bottom - ry : y + 0.5);
        const double ny = (y + 0.5 - cy) / ry;
        const double crossing = left + rx - rx * std::sqrt(std::max(0.0, 1.0 - ny * ny)) - 0.5;
        a = std::clamp(static_cast<int>(std::floor(crossing)) - 1, left, right);
    }
    while (a < right && !contains(a, y)) {
        ++a;
    }
    // Where the corners fit side by side the run is symmetric: it ends as far from the
    // right edge as it starts from the left.
    int b = ellipse_width <= right - left ? std::clamp(left + right - a + 1, a, right) : right;
    while (b > a && !contains(b - 1, y)) {
        --b;
    }
    x0 = a;
    x1 = b;
    return a < b;
}

} // namespace platform
