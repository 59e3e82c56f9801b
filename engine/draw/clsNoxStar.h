#pragma once
// One point of the scrolling background: a short horizontal streak that drifts
// left at its own speed and re-enters at the right edge on a random row.

#include "engine/draw/clsNoxField.h"
#include "engine/sys/rnd.h"

#include <cstdint>
#include <memory>

namespace nox {

class clsNoxStar {
  public:
    // Draws from rnd when placed and when it wraps; rnd must outlive the star.
    explicit clsNoxStar(Rnd& rnd) : rnd_(&rnd) {}

    const std::shared_ptr<clsNoxField>& Stage() const { return stage_; }
    // Copies the field's size; no field raises MissingObjectError, a size beyond
    // 16 bits OverflowError.
    void Stage(std::shared_ptr<clsNoxField> vStage);
    int16_t X() const { return x_; }
    void X(int16_t vX) { x_ = vX; }
    int16_t Y() const { return y_; }
    void Y(int16_t vY) { y_ = vY; }
    // The streak is |pX| + |pY| pixels long.
    int16_t pX() const { return px_; }
    void pX(int16_t vPX);
    int16_t pY() const { return py_; }
    void pY(int16_t vPY);

    // Binds the star to the field; type 0 is also placed at random. Returns kTrue.
    int16_t Init(std::shared_ptr<clsNoxField> vStage, int16_t vType);
    void PaintEx();
    // One drift step, for a type-0 star only.
    void Move();
    // One drift step whatever the type, then the streak.
    void MovePaint();

  private:
    void drift();

    Rnd* rnd_;
    std::shared_ptr<clsNoxField> stage_;
    int16_t field_width_ = 0;
    int16_t field_height_ = 0;
    int16_t x_ = 0;
    int16_t y_ = 0;
    int16_t px_ = 0;
    int16_t py_ = 0;
    int16_t length_ = 0;
    int16_t type_ = 0;
};

} // namespace nox
