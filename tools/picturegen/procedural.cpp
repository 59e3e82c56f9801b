#include "procedural.h"

#include "noise.h"
#include "paint.h"

#include <cmath>

namespace picturegen {

std::vector<Star> scatter_stars(const StarField& field, const Area& area) {
    Random random(field.seed);
    std::vector<Star> stars;
    for (int i = 0; i < field.count; ++i) {
        Star star;
        star.centre = {area.x + random.unit() * area.width, area.y + random.unit() * area.height};
        // Many faint specks, few large stars.
        const double u = random.unit();
        star.radius = field.size.low + (field.size.high - field.size.low) * u * u * u;
        star.brightness = random.within(field.brightness);
        star.color = mix(field.color, field.tint, random.unit());
        star.glint = random.unit() < field.glint;
        stars.push_back(star);
    }
    return stars;
}

namespace {

void add_rect(Path& path, double x, double y, double width, double height) {
    const Path rect = rect_path(x, y, width, height, 0, 0);
    path.insert(path.end(), rect.begin(), rect.end());
}

void add_windows(const Skyline& city, Random& random, double x, double top, double width,
                 SkylineParts& parts) {
    const double pitch_x = city.window.x * 2, pitch_y = city.window.y * 2;
    const int columns = static_cast<int>((width - city.window.x) / pitch_x);
    const int rows = static_cast<int>((city.base - top - pitch_y) / pitch_y);
    const double inset = (width - columns * pitch_x + city.window.x) / 2;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (random.unit() >= city.lit) {
                continue;
            }
            Path window;
            add_rect(window, x + inset + column * pitch_x, top + pitch_y * (row + 0.5),
                     city.window.x, city.window.y);
            parts.windows.push_back(std::move(window));
            parts.window_brightness.push_back(0.35 + 0.65 * random.unit());
        }
    }
}

} // namespace

SkylineParts build_skyline(const Skyline& city) {
    Random random(city.seed);
    SkylineParts parts;
    for (double x = city.left; x < city.right;) {
        const double width = std::min(random.within(city.width), city.right - x);
        const double height = random.within(city.height);
        const double top = city.base - height;
        add_rect(parts.buildings, x, top, width, height + 1);
        const double feature = random.unit();
        if (feature < 0.3 && width > 4) { // a stepped top
            const double inset = width * (0.15 + 0.2 * random.unit());
            add_rect(parts.buildings, x + inset, top - height * 0.15, width - 2 * inset,
                     height * 0.15 + 1);
        } else if (feature < 0.5) { // a mast
            const double mast = height * (0.2 + 0.3 * random.unit());
            add_rect(parts.buildings, x + width * random.unit() * 0.6 + width * 0.2, top - mast,
                     std::max(width * 0.06, 0.8), mast + 1);
        }
        if (city.windows) {
            add_windows(city, random, x, top, width, parts);
        }
        x += width;
    }
    return parts;
}

Path grid_lines(const Grid& grid) {
    Path path;
    const double right = grid.area.x + grid.area.width, bottom = grid.area.y + grid.area.height;
    for (double x = grid.area.x; x <= right + 1e-9; x += grid.step.x) {
        path.push_back({PathElement::Kind::Move, {Point{x, grid.area.y}}});
        path.push_back({PathElement::Kind::Line, {Point{x, bottom}}});
    }
    for (double y = grid.area.y; y <= bottom + 1e-9; y += grid.step.y) {
        path.push_back({PathElement::Kind::Move, {Point{grid.area.x, y}}});
        path.push_back({PathElement::Kind::Line, {Point{right, y}}});
    }
    return path;
}

} // namespace picturegen
