#include "foundation/values/saturate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

TEST(SaturateTest, ConversionsStickToTheEndsOfTheIntegerRange) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(SaturateCast(3e9f), kMax);
    EXPECT_EQ(SaturateCast(2147483648.0), kMax);
    EXPECT_EQ(SaturateCast(-3e9), kMin);
    EXPECT_EQ(SaturateCast(HUGE_VALF), kMax);
    EXPECT_EQ(SaturateCast(-HUGE_VAL), kMin);
    EXPECT_EQ(SaturateCast(std::nanf("")), 0);
    EXPECT_EQ(SaturateCast<int16_t>(40000.0f), 32767);
    EXPECT_EQ(SaturateCast<uint8_t>(-1.0), 0);
    // Inside the range they agree with the plain conversions.
    EXPECT_EQ(SaturateCast(-7.9f), -7);
    EXPECT_EQ(SaturateRound(-2.5), -3);
    EXPECT_EQ(SaturateFloor(-0.5f), -1);
    EXPECT_EQ(SaturateCast(2147483520.0f), 2147483520);
}
