#pragma once

#include <array>
#include <vector>

namespace picturegen {

struct Point {
    double x = 0;
    double y = 0;
};

// An affine map: x' = a x + c y + e, y' = b x + d y + f.
struct Transform {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    static Transform translation(double x, double y);
    static Transform rotation(double degrees);
    static Transform scaling(double sx, double sy);

    Point apply(Point p) const;
    // This map followed by `outer`.
    Transform then(const Transform& outer) const;
    Transform inverse() const;
    // How much the map enlarges lengths, on average over directions.
    double length_scale() const;
};

struct PathElement {
    enum class Kind { Move, Line, Quad, Cubic, Close };
    Kind kind = Kind::Move;
    // Control points first, the end point last: Move and Line use [0],
    // Quad [0..1], Cubic [0..2].
    std::array<Point, 3> points{};
};
using Path = std::vector<PathElement>;

enum class FillRule { NonZero, EvenOdd };

struct Shape {
    Path path;
    FillRule rule = FillRule::NonZero;
};

struct Contour {
    std::vector<Point> points;
    bool closed = false;
};

Path rect_path(double x, double y, double width, double height, double rx, double ry);
Path ellipse_path(Point centre, double rx, double ry, double degrees);
Path polyline_path(const std::vector<Point>& points, bool closed);

// Maps the path into device space and replaces its curves by short lines.
std::vector<Contour> flatten(const Path& path, const Transform& transform);

} // namespace picturegen
