#include "engine/sys/rnd.h"

#include "platform/system/quoting.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace nox {

namespace {
constexpr uint64_t kMultiplier = 6364136223846793005ULL;
constexpr uint64_t kIncrement = 1442695040888963407ULL;
} // namespace

SeededRnd::SeededRnd(uint64_t seed, bool follow_clock) : seed_(seed), follow_clock_(follow_clock) {
    this->seed(seed);
}

void SeededRnd::seed(uint64_t s) {
    state_ = 0;
    state_ = state_ * kMultiplier + kIncrement;
    state_ += s;
    state_ = state_ * kMultiplier + kIncrement;
}

float SeededRnd::draw() {
    const uint64_t old = state_;
    state_ = old * kMultiplier + kIncrement;
    const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<uint32_t>(old >> 59u);
    const uint32_t out = (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    return static_cast<float>(out >> 8) * 0x1.0p-24f;
}

void SeededRnd::reseed_from_clock(double seconds) {
    // Microseconds of the time of day: different for every start of a sortie.
    seed(follow_clock_ ? static_cast<uint64_t>(std::llround(seconds * 1e6)) : seed_);
}

std::vector<float> ListRnd::parse(const std::string& text) {
    std::istringstream in(text);
    std::vector<float> values;
    std::string token;
    while (in >> token) {
        char* end = nullptr;
        const double v = std::strtod(token.c_str(), &end);
        if (end != token.c_str() + token.size() || !(v >= 0.0 && v < 1.0)) {
            throw std::invalid_argument("not a number in [0, 1): " + platform::quoted(token));
        }
        // A number just below 1 may round up to 1 as a float; keep it inside [0, 1).
        values.push_back(std::min(static_cast<float>(v), std::nextafter(1.0f, 0.0f)));
    }
    return values;
}

float ListRnd::draw() {
    if (next_ >= values_.size()) {
        throw OutOfDraws();
    }
    return values_[next_++];
}

} // namespace nox
