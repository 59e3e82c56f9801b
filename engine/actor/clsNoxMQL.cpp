#include "engine/actor/clsNoxMQL.h"

#include "engine/sys/numbers.h"

namespace nox {

void clsNoxMQL::Add(float vVX, float vVY, int32_t vMoveCt, int16_t vIneFlag) {
    const int32_t new_max = add32(mql_max_, 1);
    // The first addition overwrites the initial zero entry instead of growing.
    steps_.resize(static_cast<size_t>(mql_max_) + 1);
    steps_[static_cast<size_t>(mql_max_)] = MqlStep{vVX, vVY, vMoveCt, vIneFlag};
    mql_max_ = new_max;
}

const MqlStep& clsNoxMQL::step(int16_t vMqlSeq) const {
    if (vMqlSeq < 0 || static_cast<size_t>(vMqlSeq) >= steps_.size()) {
        throw SubscriptError();
    }
    return steps_[static_cast<size_t>(vMqlSeq)];
}

} // namespace nox
