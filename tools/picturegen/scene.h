#pragma once

#include "geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace picturegen {

// A straight (not premultiplied) sRGB colour, every channel 0..1.
struct Color {
    float r = 0, g = 0, b = 0, a = 1;
};

struct GradientStop {
    double at = 0;
    Color color;
};

enum class PaintKind { Solid, Linear, Radial };

// Gradient geometry is in the coordinates of whatever it fills, so a paint
// moves, turns and scales with the group that draws it.
struct Paint {
    PaintKind kind = PaintKind::Solid;
    Color color;
    Point start; // linear: where stop 0 lies; radial: the centre
    Point end;   // linear: where stop 1 lies; radial: the radii
    std::vector<GradientStop> stops;
};

// Atop paints only where the target already has paint, keeping its coverage.
enum class Blend { Normal, Add, Screen, Multiply, Atop };

struct Range {
    double low = 0, high = 0;
};

struct Area {
    double x = 0, y = 0, width = 0, height = 0;
};

struct Style {
    std::optional<Paint> fill;
    std::optional<Paint> stroke;
    double width = 1;
    double opacity = 1;
    Blend blend = Blend::Normal;
};

struct DrawShape {
    Shape shape;
    Style style;
};

struct FillCanvas {
    Paint paint;
    double opacity = 1;
    Blend blend = Blend::Normal;
};

// Restricts every later drawing in the enclosing block to the shape.
struct ClipTo {
    Shape shape;
};

// A soft Gaussian spot, faded to about 2% at its radii.
struct Glow {
    Point centre;
    Point radii;
    Color color;
    double opacity = 1;
    Blend blend = Blend::Normal;
};

struct StarField {
    std::uint64_t seed = 1;
    int count = 0;
    std::optional<Area> area;
    Range size{0.3, 1.2};
    Range brightness{0.3, 1.0};
    Color color{1, 1, 1, 1};
    Color tint{1, 1, 1, 1};
    double glint = 0; // share of the brightest stars that get a four-point glint
    Blend blend = Blend::Normal;
};

// Fractal noise: `color` laid on with the noise, ramped from 0 at `range.low`
// to full at `range.high`.
struct NoiseFill {
    std::uint64_t seed = 1;
    double scale = 64;
    int octaves = 4;
    std::optional<Area> area;
    Color color;
    double opacity = 1;
    Range range{0, 1};
    Blend blend = Blend::Normal;
};

struct Grid {
    Area area;
    Point step;
    Color color;
    double width = 1;
    double opacity = 1;
    Blend blend = Blend::Normal;
};

// A row of random buildings standing on `base`, with lit windows.
struct Skyline {
    std::uint64_t seed = 1;
    double left = 0, right = 0, base = 0;
    Range height, width;
    Color fill;
    std::optional<Color> windows;
    double lit = 0.3;
    Point window{1, 2};
    double opacity = 1;
};

struct Command;

struct Block {
    enum class Kind { Group, Layer, Repeat };
    Kind kind = Kind::Group;
    Transform transform; // group: applied once; repeat: applied once more each time
    int count = 1;
    double opacity = 1;
    Blend blend = Blend::Normal;
    Point blur; // standard deviations across and down, in pixels
    std::vector<Command> body;
};

struct Command {
    std::variant<DrawShape, FillCanvas, ClipTo, Glow, StarField, NoiseFill, Grid, Skyline, Block>
        action;
};

struct Scene {
    int width = 0, height = 0;
    std::vector<Command> commands;
};

} // namespace picturegen
