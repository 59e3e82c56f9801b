#pragma once
// A scripted flight path: an ordered table of steps that characters follow one
// frame at a time. Built once, then shared read-only; each character keeps its
// own place in the list.

#include <cstdint>
#include <vector>

namespace nox {

struct MqlStep {
    float vX = 0.0f; // a velocity, or an acceleration when IneFlag is set
    float vY = 0.0f;
    int32_t MoveCt = 0; // frames the step lasts
    int16_t IneFlag = 0;
};

class clsNoxMQL {
  public:
    // Step numbers outside the table raise SubscriptError. A new list answers
    // step 0 with zeros.
    int32_t MoveCt(int16_t vMqlSeq) const { return step(vMqlSeq).MoveCt; }
    float vX(int16_t vMqlSeq) const { return step(vMqlSeq).vX; }
    float vY(int16_t vMqlSeq) const { return step(vMqlSeq).vY; }
    int32_t MqlMax() const { return mql_max_; }
    int16_t IneFlag(int16_t vMqlSeq) const { return step(vMqlSeq).IneFlag; }
    void Add(float vVX, float vVY, int32_t vMoveCt, int16_t vIneFlag);

  private:
    const MqlStep& step(int16_t vMqlSeq) const;

    // Always at least one entry, so that an empty list still has a step 0.
    std::vector<MqlStep> steps_ = std::vector<MqlStep>(1);
    int32_t mql_max_ = 0;
};

} // namespace nox
