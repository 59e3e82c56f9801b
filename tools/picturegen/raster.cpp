#include "raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace picturegen {

Coverage Coverage::box(int left, int top, int right, int bottom, int canvas_width,
                       int canvas_height) {
    Coverage c;
    c.left = std::max(left, 0);
    c.top = std::max(top, 0);
    c.width = std::max(std::min(right, canvas_width) - c.left, 0);
    c.height = std::max(std::min(bottom, canvas_height) - c.top, 0);
    c.alpha.assign(static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height), 0.0f);
    return c;
}

namespace {

// Vertical samples per pixel row; across a row coverage is exact.
constexpr int kRowSamples = 16;

struct Bounds {
    double left = std::numeric_limits<double>::max(), top = left;
    double right = std::numeric_limits<double>::lowest(), bottom = right;
};

Bounds bounds_of(const std::vector<Contour>& contours, double margin) {
    Bounds b;
    for (const Contour& contour : contours) {
        for (const Point& p : contour.points) {
            b.left = std::min(b.left, p.x - margin);
            b.right = std::max(b.right, p.x + margin);
            b.top = std::min(b.top, p.y - margin);
            b.bottom = std::max(b.bottom, p.y + margin);
        }
    }
    return b;
}

int floor_int(double v) {
    return static_cast<int>(std::floor(std::clamp(v, -1e6, 1e6)));
}
int ceil_int(double v) {
    return static_cast<int>(std::ceil(std::clamp(v, -1e6, 1e6)));
}

Coverage coverage_for(const Bounds& b, int canvas_width, int canvas_height) {
    if (b.left > b.right) {
        return {};
    }
    return Coverage::box(floor_int(b.left), floor_int(b.top), ceil_int(b.right), ceil_int(b.bottom),
                         canvas_width, canvas_height);
}

struct Edge {
    double x0, y0, x1, y1;
    int winding;
};

std::vector<Edge> edges_of(const std::vector<Contour>& contours) {
    std::vector<Edge> edges;
    for (const Contour& contour : contours) {
        const auto& pts = contour.points;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Point p = pts[i], q = pts[(i + 1) % pts.size()];
            if (p.y == q.y) {
                continue;
            }
            edges.push_back(p.y < q.y ? Edge{p.x, p.y, q.x, q.y, 1} : Edge{q.x, q.y, p.x, p.y, -1});
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.y0 < r.y0; });
    return edges;
}

// Accumulates one pixel row: partial pixels directly, whole runs as differences.
class RowAccumulator {
  public:
    RowAccumulator(int left, int width)
        : left_(left), partial_(static_cast<std::size_t>(width) + 1),
          runs_(static_cast<std::size_t>(width) + 1) {}

    void add_span(double from, double to, float weight) {
        const double lo = std::max(from, static_cast<double>(left_));
        const double hi = std::min(to, static_cast<double>(left_ + width()));
        if (hi <= lo) {
            return;
        }
        const int first = static_cast<int>(std::floor(lo)), last = static_cast<int>(std::floor(hi));
        if (first == last) {
            partial(first) += static_cast<float>(hi - lo) * weight;
            return;
        }
        partial(first) += static_cast<float>(first + 1 - lo) * weight;
        run(first + 1) += weight;
        run(last) -= weight;
        partial(last) += static_cast<float>(hi - last) * weight;
    }

    void emit(float* out) {
        float running = 0;
        for (int i = 0; i < width(); ++i) {
            running += runs_[static_cast<std::size_t>(i)];
            out[i] = std::clamp(running + partial_[static_cast<std::size_t>(i)], 0.0f, 1.0f);
        }
        std::fill(partial_.begin(), partial_.end(), 0.0f);
        std::fill(runs_.begin(), runs_.end(), 0.0f);
    }

  private:
    int width() const { return static_cast<int>(partial_.size()) - 1; }
    float& partial(int x) { return partial_[static_cast<std::size_t>(x - left_)]; }
    float& run(int x) { return runs_[static_cast<std::size_t>(x - left_)]; }

    int left_;
    std::vector<float> partial_, runs_;
};

struct Crossing {
    double x;
    int winding;
};

bool inside(int winding, FillRule rule) {
    return rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
}

void sample_row(const std::vector<const Edge*>& active, double y, FillRule rule,
                std::vector<Crossing>& crossings, RowAccumulator& row) {
    crossings.clear();
    for (const Edge* e : active) {
        if (y >= e->y0 && y < e->y1) {
            crossings.push_back(
                {e->x0 + (y - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->winding});
        }
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    int winding = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
        winding += crossings[i].winding;
        if (inside(winding, rule)) {
            row.add_span(crossings[i].x, crossings[i + 1].x, 1.0f / kRowSamples);
        }
    }
}

double distance_to_segment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// How far past its centre line a stroke can reach, in device pixels.
double stroke_reach(double width, const Transform& t) {
    return width * std::max(std::hypot(t.a, t.b), std::hypot(t.c, t.d)) / 2 + 1.5;
}

// Strokes segment by segment, measuring in user space; `across` is how many
// device pixels one user unit spans across the segment.
class SegmentStroker {
  public:
    SegmentStroker(Coverage& cov, double width, const Transform& transform)
        : cov_(cov), width_(width), transform_(transform), inverse_(transform.inverse()),
          reach_(stroke_reach(width, transform)) {}

    void stroke(Point device_a, Point device_b) {
        const Point a = inverse_.apply(device_a), b = inverse_.apply(device_b);
        const double across = pixels_across(a, b);
        const double device_width = width_ * across;
        const double half = std::max(device_width, 1.0) / 2;
        const auto strength = static_cast<float>(std::min(device_width, 1.0));
        const int x0 = std::max(floor_int(std::min(device_a.x, device_b.x) - reach_), cov_.left);
        const int x1 =
            std::min(ceil_int(std::max(device_a.x, device_b.x) + reach_), cov_.left + cov_.width);
        const int y0 = std::max(floor_int(std::min(device_a.y, device_b.y) - reach_), cov_.top);
        const int y1 =
            std::min(ceil_int(std::max(device_a.y, device_b.y) + reach_), cov_.top + cov_.height);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const double d = distance_to_segment(inverse_.apply({x + 0.5, y + 0.5}), a, b);
                const float c =
                    static_cast<float>(std::clamp(half + 0.5 - d * across, 0.0, 1.0)) * strength;
                float& cell = cov_.at(x, y);
                cell = std::max(cell, c);
            }
        }
    }

  private:
    double pixels_across(Point a, Point b) const {
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length == 0) {
            return transform_.length_scale();
        }
        const double nx = -(b.y - a.y) / length, ny = (b.x - a.x) / length;
        return std::hypot(transform_.a * nx + transform_.c * ny,
                          transform_.b * nx + transform_.d * ny);
    }

    Coverage& cov_;
    double width_;
    Transform transform_, inverse_;
    double reach_;
};

} // namespace

Coverage fill_coverage(const std::vector<Contour>& contours, FillRule rule, int canvas_width,
                       int canvas_height) {
    Coverage cov = coverage_for(bounds_of(contours, 0), canvas_width, canvas_height);
    if (cov.empty()) {
        return cov;
    }
    const std::vector<Edge> edges = edges_of(contours);
    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
    RowAccumulator row(cov.left, cov.width);
    std::size_t next = 0;
    for (int y = cov.top; y < cov.top + cov.height; ++y) {
        for (int s = 0; s < kRowSamples; ++s) {
            const double sy = y + (s + 0.5) / kRowSamples;
            std::erase_if(active, [sy](const Edge* e) { return e->y1 <= sy; });
            while (next < edges.size() && edges[next].y0 <= sy) {
                if (edges[next].y1 > sy) {
                    active.push_back(&edges[next]);
                }
                ++next;
            }
            sample_row(active, sy, rule, crossings, row);
        }
        row.emit(&cov.alpha[static_cast<std::size_t>((y - cov.top) * cov.width)]);
    }
    return cov;
}

Coverage stroke_coverage(const std::vector<Contour>& contours, double width,
                         const Transform& transform, int canvas_width, int canvas_height) {
    Coverage cov = coverage_for(bounds_of(contours, stroke_reach(width, transform)), canvas_width,
                                canvas_height);
    if (cov.empty()) {
        return cov;
    }
    SegmentStroker stroker(cov, width, transform);
    for (const Contour& contour : contours) {
        const auto& pts = contour.points;
        if (pts.size() == 1) {
            stroker.stroke(pts[0], pts[0]);
        }
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
            stroker.stroke(pts[i], pts[i + 1]);
        }
        if (contour.closed && pts.size() > 2) {
            stroker.stroke(pts.back(), pts.front());
        }
    }
    return cov;
}

} // namespace picturegen
