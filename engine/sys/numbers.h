#pragma once
// The game's number rules: 16- and 32-bit signed integers that raise an
// overflow error instead of wrapping, float-to-integer conversion rounding
// halves to even, and digit-pattern formatting rounding halves away from zero.

#include "engine/sys/errors.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

namespace nox {

// The platform's truth values in 16-bit fields and results.
inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

inline int16_t truth(bool b) {
    return b ? kTrue : kFalse;
}

template <typename Int> bool fits(int64_t v) {
    return v >= std::numeric_limits<Int>::min() && v <= std::numeric_limits<Int>::max();
}

// An integer result that must fit the game's 16- or 32-bit type.
template <typename Int> Int fit(int64_t v) {
    if (!fits<Int>(v)) {
        throw OverflowError();
    }
    return static_cast<Int>(v);
}
inline int16_t to16(int64_t v) {
    return fit<int16_t>(v);
}
inline int32_t to32(int64_t v) {
    return fit<int32_t>(v);
}

inline int16_t add16(int64_t a, int64_t b) {
    return to16(a + b);
}
inline int16_t sub16(int64_t a, int64_t b) {
    return to16(a - b);
}
inline int16_t mul16(int64_t a, int64_t b) {
    return to16(a * b);
}
inline int32_t add32(int64_t a, int64_t b) {
    return to32(a + b);
}
inline int32_t sub32(int64_t a, int64_t b) {
    return to32(a - b);
}
inline int32_t mul32(int64_t a, int64_t b) {
    return to32(a * b);
}

// Absolute value in 16 bits: |-32768| does not fit.
inline int16_t abs16(int16_t v) {
    return to16(v < 0 ? -int64_t{v} : int64_t{v});
}

// Integer division written \ : truncates toward zero.
inline int32_t idiv(int32_t a, int32_t b) {
    if (b == 0) {
        throw FloatError();
    }
    return to32(int64_t{a} / b);
}

// Nearest whole number, halves to the even neighbour (10.5 -> 10, 11.5 -> 12).
inline double round_half_even(double v) {
    // Below 2^51, adding and taking away 1.5 * 2^52 rounds in the default
    // to-nearest-even mode without the library call, which costs more than the
    // collision test it serves. Larger values take the library's way.
    static_assert(FLT_EVAL_METHOD == 0,
                  "the shift needs double arithmetic without excess precision");
    constexpr double kShift = 0x1.8p52;
    const double r = std::fabs(v) < 0x1p51 ? (v + kShift) - kShift : std::nearbyint(v);
    return r == 0.0 ? 0.0 : r; // -0.5 gives 0, not -0
}

// Kept out of line so that the checks calling it stay small enough to inline.
[[noreturn, gnu::cold, gnu::noinline]] inline void raise_overflow() {
    throw OverflowError();
}

// Whether a whole number from round_half_even fits the type; not a number fails
// both comparisons.
template <typename Int> bool fits_rounded(double r) {
    return r >= std::numeric_limits<Int>::min() && r <= std::numeric_limits<Int>::max();
}

// Rounds halves to even into the game's 16- or 32-bit type; out of range or
// not a number is an overflow.
template <typename Int> Int round_to(double v) {
    const double r = round_half_even(v);
    if (!fits_rounded<Int>(r)) {
        raise_overflow();
    }
    return static_cast<Int>(r);
}

// The same rounding for a caller that proves a value safe before trusting it:
// nothing where round_to would raise.
template <typename Int> std::optional<Int> round_or_nothing(double v) {
    const double r = round_half_even(v);
    return fits_rounded<Int>(r) ? std::optional<Int>(static_cast<Int>(r)) : std::nullopt;
}
inline int16_t round16(double v) {
    return round_to<int16_t>(v);
}
inline int32_t round32(double v) {
    return round_to<int32_t>(v);
}

// One 32-bit float operation, rounded once; an infinite or invalid result is an error.
inline float checked(float v) {
    if (!std::isfinite(v)) {
        throw FloatError();
    }
    return v;
}
inline float fadd(float a, float b) {
    return checked(a + b);
}
inline float fsub(float a, float b) {
    return checked(a - b);
}
inline float fmul(float a, float b) {
    return checked(a * b);
}

// Formats like the digit pattern "000": rounded to a whole number (halves away
// from zero), at least `digits` digits with leading zeros, more when needed.
inline std::string format_digits(double v, int digits) {
    if (std::isnan(v)) {
        throw FloatError();
    }
    double r = std::round(std::fabs(v));
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", r);
    std::string text = buf;
    if (static_cast<int>(text.size()) < digits) {
        text.insert(0, static_cast<size_t>(digits - static_cast<int>(text.size())), '0');
    }
    return (v < 0 && r != 0) ? "-" + text : text;
}

} // namespace nox
