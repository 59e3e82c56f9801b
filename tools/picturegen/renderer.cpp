#include "renderer.h"

#include "noise.h"
#include "paint.h"
#include "procedural.h"
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace picturegen {

namespace {

using Mask = std::shared_ptr<const std::vector<float>>;

// Where a block draws: its coordinate map and the clip it inherited.
struct Placement {
    Transform transform;
    Mask clip;
};

Paint solid(const Color& color) {
    Paint paint;
    paint.color = color;
    return paint;
}

double smooth_ramp(const Range& range, double v) {
    if (range.high <= range.low) {
        return v >= range.low ? 1.0 : 0.0;
    }
    const double t = std::clamp((v - range.low) / (range.high - range.low), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

class BlockPainter {
  public:
    BlockPainter(Canvas& target, Placement placement)
        : target_(target), place_(std::move(placement)), inverse_(place_.transform.inverse()) {}

    void run(const std::vector<Command>& commands) {
        for (const Command& command : commands) {
            std::visit([this](const auto& action) { (*this)(action); }, command.action);
        }
    }

    void operator()(const DrawShape& draw) {
        const auto contours = flatten(draw.shape.path, place_.transform);
        if (draw.style.fill) {
            lay(fill_coverage(contours, draw.shape.rule, width(), height()), *draw.style.fill,
                draw.style.opacity, draw.style.blend);
        }
        if (draw.style.stroke) {
            lay(stroke_coverage(contours, draw.style.width, place_.transform, width(), height()),
                *draw.style.stroke, draw.style.opacity, draw.style.blend);
        }
    }

    void operator()(const FillCanvas& fill) {
        lay(whole_canvas(), fill.paint, fill.opacity, fill.blend);
    }

    void operator()(const ClipTo& clip) {
        const Coverage cov = fill_coverage(flatten(clip.shape.path, place_.transform),
                                           clip.shape.rule, width(), height());
        auto mask = std::make_shared<std::vector<float>>(
            static_cast<std::size_t>(width()) * static_cast<std::size_t>(height()), 0.0f);
        for (int y = cov.top; y < cov.top + cov.height; ++y) {
            for (int x = cov.left; x < cov.left + cov.width; ++x) {
                (*mask)[index(x, y)] = cov.at(x, y) * clip_at(x, y);
            }
        }
        place_.clip = std::move(mask);
    }

    void operator()(const Glow& glow) {
        const Point reach{glow.radii.x * 1.3, glow.radii.y * 1.3};
        Coverage cov =
            device_box(glow.centre.x - reach.x, glow.centre.y - reach.y, 2 * reach.x, 2 * reach.y);
        for_each_pixel(cov, [&](Point user, float& alpha) {
            const double dx = (user.x - glow.centre.x) / glow.radii.x;
            const double dy = (user.y - glow.centre.y) / glow.radii.y;
            alpha = static_cast<float>(std::exp(-4 * (dx * dx + dy * dy)));
        });
        lay(cov, solid(glow.color), glow.opacity, glow.blend);
    }

    void operator()(const StarField& field) {
        const Area area = field.area.value_or(canvas_area());
        for (const Star& star : scatter_stars(field, area)) {
            draw_star(star, field.blend);
        }
    }

    void operator()(const NoiseFill& noise) {
        Coverage cov = noise.area ? area_coverage(*noise.area) : whole_canvas();
        for_each_pixel(cov, [&](Point user, float& alpha) {
            const double n = fractal_noise(user.x / noise.scale, user.y / noise.scale, noise.seed,
                                           noise.octaves);
            alpha *= static_cast<float>(smooth_ramp(noise.range, n));
        });
        lay(cov, solid(noise.color), noise.opacity, noise.blend);
    }

    void operator()(const Grid& grid) {
        lay(stroke_coverage(flatten(grid_lines(grid), place_.transform), grid.width,
                            place_.transform, width(), height()),
            solid(grid.color), grid.opacity, grid.blend);
    }

    void operator()(const Skyline& city) {
        const SkylineParts parts = build_skyline(city);
        lay(fill_coverage(flatten(parts.buildings, place_.transform), FillRule::NonZero, width(),
                          height()),
            solid(city.fill), city.opacity, Blend::Normal);
        for (std::size_t i = 0; i < parts.windows.size(); ++i) {
            lay(fill_coverage(flatten(parts.windows[i], place_.transform), FillRule::NonZero,
                              width(), height()),
                solid(*city.windows), city.opacity * parts.window_brightness[i], Blend::Normal);
        }
    }

    void operator()(const Block& block) {
        switch (block.kind) {
        case Block::Kind::Group:
            BlockPainter(target_, {block.transform.then(place_.transform), place_.clip})
                .run(block.body);
            break;
        case Block::Kind::Repeat: {
            Transform step = place_.transform;
            for (int i = 0; i < block.count; ++i) {
                BlockPainter(target_, {step, place_.clip}).run(block.body);
                step = block.transform.then(step);
            }
            break;
        }
        case Block::Kind::Layer:
            paint_layer(block);
            break;
        }
    }

  private:
    int width() const { return target_.width(); }
    int height() const { return target_.height(); }
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width()) +
               static_cast<std::size_t>(x);
    }
    float clip_at(int x, int y) const { return place_.clip ? (*place_.clip)[index(x, y)] : 1.0f; }
    Area canvas_area() const {
        return {0, 0, static_cast<double>(width()), static_cast<double>(height())};
    }

    Coverage whole_canvas() const {
        Coverage cov = Coverage::box(0, 0, width(), height(), width(), height());
        std::fill(cov.alpha.begin(), cov.alpha.end(), 1.0f);
        return cov;
    }

    Coverage area_coverage(const Area& area) const {
        return fill_coverage(
            flatten(rect_path(area.x, area.y, area.width, area.height, 0, 0), place_.transform),
            FillRule::NonZero, width(), height());
    }

    // The device pixels under a user-space box, all set to full coverage.
    Coverage device_box(double x, double y, double box_width, double box_height) const {
        Coverage cov = area_coverage({x, y, box_width, box_height});
        std::fill(cov.alpha.begin(), cov.alpha.end(), 1.0f);
        return cov;
    }

    template <typename Shade> void for_each_pixel(Coverage& cov, Shade shade) const {
        for (int y = cov.top; y < cov.top + cov.height; ++y) {
            for (int x = cov.left; x < cov.left + cov.width; ++x) {
                shade(inverse_.apply({x + 0.5, y + 0.5}), cov.at(x, y));
            }
        }
    }

    void lay(const Coverage& cov, const Paint& paint, double opacity, Blend blend) {
        const bool plain = paint.kind == PaintKind::Solid;
        for (int y = cov.top; y < cov.top + cov.height; ++y) {
            for (int x = cov.left; x < cov.left + cov.width; ++x) {
                const float alpha = cov.at(x, y) * clip_at(x, y) * static_cast<float>(opacity);
                if (alpha <= 0) {
                    continue;
                }
                const Color color =
                    plain ? paint.color : color_at(paint, inverse_.apply({x + 0.5, y + 0.5}));
                blend_into(target_.at(x, y), premultiply(color, alpha), blend);
            }
        }
    }

    // A Gaussian spot squeezed like everything else in the block, widened by a
    // fraction of a pixel so that the tiniest specks still light one.
    void draw_star(const Star& star, Blend blend) {
        constexpr double kSpeck = 0.2;
        const Transform& t = place_.transform;
        const Point centre = t.apply(star.centre);
        const double r2 = star.radius * star.radius;
        const double sxx = r2 * (t.a * t.a + t.c * t.c) + kSpeck;
        const double syy = r2 * (t.b * t.b + t.d * t.d) + kSpeck;
        const double sxy = r2 * (t.a * t.b + t.c * t.d);
        const double det = sxx * syy - sxy * sxy;
        const double peak =
            star.brightness * std::min(1.0, r2 * std::abs(t.a * t.d - t.b * t.c) / std::sqrt(det));
        const double spike = star.glint ? 4 * star.radius * t.length_scale() + 4 : 0;
        const double reach = std::max(3 * std::sqrt(std::max(sxx, syy)), spike) + 1;
        Coverage cov =
            Coverage::box(static_cast<int>(std::floor(centre.x - reach)),
                          static_cast<int>(std::floor(centre.y - reach)),
                          static_cast<int>(std::ceil(centre.x + reach)),
                          static_cast<int>(std::ceil(centre.y + reach)), width(), height());
        for (int y = cov.top; y < cov.top + cov.height; ++y) {
            for (int x = cov.left; x < cov.left + cov.width; ++x) {
                const double dx = x + 0.5 - centre.x, dy = y + 0.5 - centre.y;
                const double q = (dx * dx * syy - 2 * dx * dy * sxy + dy * dy * sxx) / det;
                double a = peak * std::exp(-q / 2);
                if (spike > 0) {
                    a = std::max(
                        a, star.brightness * 0.7 *
                               std::max(spike_light(dx, dy, spike), spike_light(dy, dx, spike)));
                }
                cov.at(x, y) = static_cast<float>(std::min(a, 1.0));
            }
        }
        lay(cov, solid(star.color), 1.0, blend);
    }

    // A thin ray along `along`, fading towards `length`.
    static double spike_light(double along, double across, double length) {
        const double fade = std::max(0.0, 1 - std::abs(along) / length);
        return fade * fade * std::exp(-across * across / 0.18);
    }

    void paint_layer(const Block& block) {
        Canvas layer(width(), height());
        BlockPainter(layer, {place_.transform, nullptr}).run(block.body);
        blur(layer, block.blur.x, block.blur.y);
        const auto opacity = static_cast<float>(block.opacity);
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                const Rgba& p = layer.at(x, y);
                if (p.a <= 0 && p.r <= 0 && p.g <= 0 && p.b <= 0) {
                    continue;
                }
                const float k = opacity * clip_at(x, y);
                blend_into(target_.at(x, y), {p.r * k, p.g * k, p.b * k, p.a * k}, block.blend);
            }
        }
    }

    Canvas& target_;
    Placement place_;
    Transform inverse_;
};

} // namespace

Canvas render(const Scene& scene) {
    Canvas canvas(scene.width, scene.height);
    BlockPainter(canvas, {}).run(scene.commands);
    return canvas;
}

} // namespace picturegen
