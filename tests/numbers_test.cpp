// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace gb {
namespace {

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    const struct {
        double in, out;
    } cases[] = {{2.5, 2},      {3.5, 4},      {0.5, 0},       {1.5, 2},       {-0.5, -0},    {-1.5, -2}, {-2.5, -2},
                 {480.75, 481}, {480.25, 480}, {2.4999999, 2}, {2.5000001, 3}, {932.99, 933}, {0, 0}};
    for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
}

TEST(RoundHalfEven, FloatQuotientsKeepTheirOwnValue) {
    // 0.5833333 as a float times 1600 is not exactly 933.33..; what matters is that the float value is used.
    const float scale = 700.0f / 1200.0f;
    EXPECT_EQ(roundHalfEven(static_cast<double>(1200 * scale)), 700);
    EXPECT_EQ(roundHalfEven(static_cast<double>(1600 * scale)), 933);
}

TEST(ToInt16, AcceptsTheWholeRangeAndRefusesBeyond) {
    EXPECT_EQ(toInt16(32767.0), 32767);
    EXPECT_EQ(toInt16(-32768.0), -32768);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_FALSE(toInt16(32767.5));  // rounds to 32768
    EXPECT_FALSE(toInt16(32768.0));
    EXPECT_FALSE(toInt16(-32768.6));
    EXPECT_FALSE(toInt16(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(toInt16(std::numeric_limits<double>::infinity()));
}

TEST(ToInt32, RoundsAndChecksItsRange) {
    EXPECT_EQ(toInt32(1000.5), 1000);
    EXPECT_EQ(toInt32(1001.5), 1002);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_FALSE(toInt32(2147483648.0));
}

TEST(AssignInt16, LeavesTheTargetAloneWhenTheValueDoesNotFit) {
    Int16 v = 123;
    EXPECT_FALSE(assignInt16(v, 40000.0));
    EXPECT_EQ(v, 123);
    EXPECT_TRUE(assignInt16(v, 640.5));
    EXPECT_EQ(v, 640);
    std::int32_t w = 7;
    EXPECT_FALSE(assignInt32(w, std::nan("")));
    EXPECT_EQ(w, 7);
}

}  // namespace
}  // namespace gb
