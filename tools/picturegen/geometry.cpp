#include "geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace picturegen {

Transform Transform::translation(double x, double y) {
    return {1, 0, 0, 1, x, y};
}

Transform Transform::rotation(double degrees) {
    const double r = degrees * std::numbers::pi / 180.0;
    return {std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0};
}

Transform Transform::scaling(double sx, double sy) {
    return {sx, 0, 0, sy, 0, 0};
}

Point Transform::apply(Point p) const {
    return {a * p.x + c * p.y + e, b * p.x + d * p.y + f};
}

Transform Transform::then(const Transform& o) const {
    return {o.a * a + o.c * b, o.b * a + o.d * b,       o.a * c + o.c * d,
            o.b * c + o.d * d, o.a * e + o.c * f + o.e, o.b * e + o.d * f + o.f};
}

Transform Transform::inverse() const {
    const double det = a * d - b * c;
    if (det == 0.0) {
        return {};
    }
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(ia * e + ic * f), -(ib * e + id * f)};
}

double Transform::length_scale() const {
    return std::sqrt(std::abs(a * d - b * c));
}

namespace {

// Four cubic curves this far along the tangents make a near-perfect quarter ellipse.
constexpr double kArcHandle = 0.5522847498;

PathElement move_to(Point p) {
    return {PathElement::Kind::Move, {p}};
}
PathElement line_to(Point p) {
    return {PathElement::Kind::Line, {p}};
}
PathElement cubic_to(Point c1, Point c2, Point p) {
    return {PathElement::Kind::Cubic, {c1, c2, p}};
}
PathElement close_path() {
    return {PathElement::Kind::Close, {}};
}

// A quarter arc from `from` to `to` around the corner `corner`.
PathElement corner_arc(Point from, Point corner, Point to) {
    const Point c1{from.x + (corner.x - from.x) * kArcHandle,
                   from.y + (corner.y - from.y) * kArcHandle};
    const Point c2{to.x + (corner.x - to.x) * kArcHandle, to.y + (corner.y - to.y) * kArcHandle};
    return cubic_to(c1, c2, to);
}

double distance(Point p, Point q) {
    return std::hypot(q.x - p.x, q.y - p.y);
}

// Enough pieces that none is much longer than a device pixel.
int curve_pieces(double control_length) {
    return std::clamp(static_cast<int>(std::ceil(control_length)), 2, 256);
}

void add_quad(std::vector<Point>& out, Point p0, Point p1, Point p2) {
    const int n = curve_pieces(distance(p0, p1) + distance(p1, p2));
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1 - t;
        out.push_back({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                       u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
}

void add_cubic(std::vector<Point>& out, Point p0, Point p1, Point p2, Point p3) {
    const int n = curve_pieces(distance(p0, p1) + distance(p1, p2) + distance(p2, p3));
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1 - t;
        const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
        out.push_back({w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x,
                       w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y});
    }
}

} // namespace

Path rect_path(double x, double y, double width, double height, double rx, double ry) {
    rx = std::min(rx, width / 2);
    ry = std::min(ry, height / 2);
    const double r = x + width, b = y + height;
    if (rx <= 0 || ry <= 0) {
        return {move_to({x, y}), line_to({r, y}), line_to({r, b}), line_to({x, b}), close_path()};
    }
    return {move_to({x + rx, y}),
            line_to({r - rx, y}),
            corner_arc({r - rx, y}, {r, y}, {r, y + ry}),
            line_to({r, b - ry}),
            corner_arc({r, b - ry}, {r, b}, {r - rx, b}),
            line_to({x + rx, b}),
            corner_arc({x + rx, b}, {x, b}, {x, b - ry}),
            line_to({x, y + ry}),
            corner_arc({x, y + ry}, {x, y}, {x + rx, y}),
            close_path()};
}

Path ellipse_path(Point centre, double rx, double ry, double degrees) {
    const Transform place =
        Transform::rotation(degrees).then(Transform::translation(centre.x, centre.y));
    Path path = rect_path(-rx, -ry, 2 * rx, 2 * ry, rx, ry);
    for (PathElement& element : path) {
        for (Point& p : element.points) {
            p = place.apply(p);
        }
    }
    return path;
}

Path polyline_path(const std::vector<Point>& points, bool closed) {
    Path path;
    for (const Point& p : points) {
        path.push_back(path.empty() ? move_to(p) : line_to(p));
    }
    if (closed) {
        path.push_back(close_path());
    }
    return path;
}

std::vector<Contour> flatten(const Path& path, const Transform& transform) {
    std::vector<Contour> contours;
    Point start, current;
    auto open_contour = [&](Point at) {
        contours.push_back({{transform.apply(at)}, false});
        start = at;
    };
    for (const PathElement& element : path) {
        using Kind = PathElement::Kind;
        if (element.kind == Kind::Close) {
            if (!contours.empty()) {
                contours.back().closed = true;
            }
            current = start;
            continue;
        }
        if (element.kind == Kind::Move || contours.empty() || contours.back().closed) {
            open_contour(element.kind == Kind::Move ? element.points[0] : current);
        }
        std::vector<Point>& out = contours.back().points;
        const Point from = transform.apply(current);
        switch (element.kind) {
        case Kind::Line:
            out.push_back(transform.apply(element.points[0]));
            current = element.points[0];
            break;
        case Kind::Quad:
            add_quad(out, from, transform.apply(element.points[0]),
                     transform.apply(element.points[1]));
            current = element.points[1];
            break;
        case Kind::Cubic:
            add_cubic(out, from, transform.apply(element.points[0]),
                      transform.apply(element.points[1]), transform.apply(element.points[2]));
            current = element.points[2];
            break;
        default:
            current = element.points[0];
            break;
        }
    }
    return contours;
}

} // namespace picturegen
