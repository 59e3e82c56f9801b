#include "engine/sys/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace nox;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(round16(10.5), 10);
    EXPECT_EQ(round16(11.5), 12);
    EXPECT_EQ(round16(-0.5), 0);
    EXPECT_EQ(round16(-1.5), -2);
    EXPECT_EQ(round32(2.5f), 2);
    EXPECT_EQ(round16(0.25f * 2), 0);
    EXPECT_EQ(round16(0.75f * 2), 2);
}

TEST(Rounding, AgreesWithTheLibrarysNearestEvenEverywhere) {
    // Every float the game rounds in play, halves and their neighbours, and the edges of
    // the fast path's range, against the library's own rounding.
    std::vector<double> values;
    for (float f = -40000.0f; f <= 40000.0f; f += 0.125f) {
        values.push_back(f);
        values.push_back(std::nextafter(f, -INFINITY));
        values.push_back(std::nextafter(f, INFINITY));
    }
    for (double edge : {0x1p51, 0x1p52, 0x1p53, 1e300}) {
        for (double v : {edge, std::nextafter(edge, 0.0), edge - 0.5, edge + 0.5, edge - 1.5}) {
            values.push_back(v);
            values.push_back(-v);
        }
    }
    for (double v : values) {
        const double want = std::nearbyint(v);
        ASSERT_EQ(round_half_even(v), want == 0.0 ? 0.0 : want) << std::hexfloat << v;
        ASSERT_FALSE(std::signbit(round_half_even(v)) && round_half_even(v) == 0.0) << v;
    }
}

TEST(Rounding, OutOfRangeAndInvalidRaiseOverflow) {
    EXPECT_EQ(round16(32767.4), 32767);
    EXPECT_THROW(round16(32767.5), OverflowError); // rounds to 32768
    EXPECT_EQ(round16(-32768.5), -32768);          // halves to even stay in range
    EXPECT_THROW(round16(-32769.0), OverflowError);
    EXPECT_THROW(round32(2147483648.0), OverflowError);
    EXPECT_THROW(round16(std::nan("")), OverflowError);
    EXPECT_THROW(round32(INFINITY), OverflowError);
}

TEST(IntegerArithmetic, SixteenAndThirtyTwoBitOverflowRaises) {
    EXPECT_EQ(add16(32760, 7), 32767);
    EXPECT_THROW(add16(32760, 16), OverflowError);
    EXPECT_THROW(sub16(-32768, 1), OverflowError);
    EXPECT_THROW(abs16(-32768), OverflowError);
    EXPECT_EQ(abs16(-12), 12);
    EXPECT_THROW(add32(INT32_MAX, 1), OverflowError);
    EXPECT_EQ(mul32(46340, 46340), 2147395600);
    EXPECT_THROW(mul32(46341, 46341), OverflowError);
}

TEST(IntegerArithmetic, DivisionTruncatesTowardZero) {
    EXPECT_EQ(idiv(264, 2), 132);
    EXPECT_EQ(idiv(-7, 2), -3);
    EXPECT_EQ(idiv(7, -2), -3);
    EXPECT_THROW(idiv(1, 0), FloatError);
    EXPECT_THROW(idiv(INT32_MIN, -1), OverflowError);
}

TEST(FloatArithmetic, OneRoundingPerOperationAndInvalidResultsRaise) {
    float v = 0.0f;
    for (int i = 0; i < 30; ++i) {
        v = fadd(v, 0.8f);
    }
    EXPECT_NE(v, 24.0f); // each sum is rounded to float, so 0.8's error accumulates
    EXPECT_THROW(fadd(3e38f, 3e38f), FloatError);
    EXPECT_THROW(fmul(std::numeric_limits<float>::infinity(), 0.0f), FloatError);
}

TEST(DigitPatterns, RoundHalvesAwayFromZeroAndPad) {
    EXPECT_EQ(format_digits(16, 3), "016");
    EXPECT_EQ(format_digits(1000.0 / 16, 3), "063"); // 62.5 -> 63
    EXPECT_EQ(format_digits(1250, 3), "1250");
    EXPECT_EQ(format_digits(0.4, 3), "000");
    EXPECT_EQ(format_digits(2.5, 3), "003");
    EXPECT_EQ(format_digits(7, 4), "0007");
    EXPECT_EQ(format_digits(1, 2), "01");
    EXPECT_EQ(format_digits(-5, 3), "-005");
    EXPECT_EQ(format_digits(-0.2, 3), "000");
}
