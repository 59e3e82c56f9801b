#include "paint.h"

#include <algorithm>
#include <cmath>

namespace picturegen {

Color mix(const Color& from, const Color& to, double t) {
    const float u = static_cast<float>(std::clamp(t, 0.0, 1.0));
    return {from.r + (to.r - from.r) * u, from.g + (to.g - from.g) * u,
            from.b + (to.b - from.b) * u, from.a + (to.a - from.a) * u};
}

namespace {

double gradient_position(const Paint& paint, Point p) {
    if (paint.kind == PaintKind::Linear) {
        const double dx = paint.end.x - paint.start.x, dy = paint.end.y - paint.start.y;
        const double length2 = dx * dx + dy * dy;
        return length2 > 0 ? ((p.x - paint.start.x) * dx + (p.y - paint.start.y) * dy) / length2
                           : 0;
    }
    return std::hypot((p.x - paint.start.x) / paint.end.x, (p.y - paint.start.y) / paint.end.y);
}

Color color_along(const std::vector<GradientStop>& stops, double t) {
    if (t <= stops.front().at) {
        return stops.front().color;
    }
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const GradientStop& a = stops[i - 1];
            const GradientStop& b = stops[i];
            const double span = b.at - a.at;
            return span > 0 ? mix(a.color, b.color, (t - a.at) / span) : b.color;
        }
    }
    return stops.back().color;
}

} // namespace

Color color_at(const Paint& paint, Point p) {
    if (paint.kind == PaintKind::Solid) {
        return paint.color;
    }
    return color_along(paint.stops, gradient_position(paint, p));
}

} // namespace picturegen
