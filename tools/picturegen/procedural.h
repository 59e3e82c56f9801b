#pragma once

#include "scene.h"

#include <vector>

namespace picturegen {

struct Star {
    Point centre;
    double radius = 0;
    double brightness = 0;
    Color color;
    bool glint = false;
};

std::vector<Star> scatter_stars(const StarField& field, const Area& area);

struct SkylineParts {
    Path buildings;
    std::vector<Path> windows; // one per lit window
    std::vector<double> window_brightness;
};

SkylineParts build_skyline(const Skyline& city);

// The lines of a grid, one open two-point path each.
Path grid_lines(const Grid& grid);

} // namespace picturegen
