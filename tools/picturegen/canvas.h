#pragma once

#include "scene.h"

#include <vector>

namespace picturegen {

// Premultiplied RGBA.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

class Canvas {
  public:
    Canvas(int width, int height)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

    int width() const { return width_; }
    int height() const { return height_; }
    Rgba& at(int x, int y) { return pixels_[index(x, y)]; }
    const Rgba& at(int x, int y) const { return pixels_[index(x, y)]; }
    std::vector<Rgba>& pixels() { return pixels_; }
    const std::vector<Rgba>& pixels() const { return pixels_; }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_, height_;
    std::vector<Rgba> pixels_;
};

Rgba premultiply(const Color& color, float alpha);
void blend_into(Rgba& dst, const Rgba& src, Blend blend);
// Three box passes each way: close to a Gaussian with these standard deviations.
void blur(Canvas& canvas, double sigma_x, double sigma_y);

} // namespace picturegen
