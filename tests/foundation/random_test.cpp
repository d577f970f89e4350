#include "foundation/system/random.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

// The reference generator of the C++ library, cut to 31 bits as ours is.
class ReferenceStream {
public:
    explicit ReferenceStream(uint32_t seed) : engine_(seed) {}
    uint32_t Next() { return static_cast<uint32_t>(engine_()) & 0x7FFFFFFFu; }

private:
    std::mt19937 engine_;
};

TEST(MersenneTwister, Seed5489StartsWithTheMaskedReferenceWord) {
    MersenneTwister mt(5489);
    EXPECT_EQ(mt.Next(), 1351727964);
}

TEST(MersenneTwister, MatchesReferenceAcrossSeveralRegenerations) {
    for (uint32_t seed : {1u, 4357u, 123456789u, 0xFFFFFFFFu}) {
        MersenneTwister mt(seed);
        ReferenceStream ref(seed);
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(static_cast<uint32_t>(mt.Next()), ref.Next()) << seed << " #" << i;
    }
}

TEST(MersenneTwister, SeedZeroMeans4357) {
    MersenneTwister zero(0), fixed(4357);
    for (int i = 0; i < 700; ++i) ASSERT_EQ(zero.Next(), fixed.Next());
}

TEST(MersenneTwister, NextModuloOfZeroDoesNotTrap) {
    MersenneTwister mt(9), ref(9);
    EXPECT_EQ(mt.NextModulo(0), 0u);
    EXPECT_EQ(mt.Next(), ref.Next());
    EXPECT_EQ(mt.NextModulo(1000), static_cast<uint32_t>(ref.Next()) % 1000);
}

class RandomHelpers : public ::testing::Test {
protected:
    void SetUp() override { SeedRandom(kSeed); }
    static constexpr uint32_t kSeed = 987654321;
    ReferenceStream ref_{kSeed};
};

TEST_F(RandomHelpers, RandomIntOfZeroDrawsNothing) {
    EXPECT_EQ(RandomInt(0), 0);
    EXPECT_EQ(static_cast<uint32_t>(RandomInt(INT_MAX)), ref_.Next() % INT_MAX);
}

TEST_F(RandomHelpers, RandomIntIsTheDrawModuloN) {
    for (int32_t n : {1, 2, 7, 256, 1000000}) {
        for (int i = 0; i < 50; ++i) ASSERT_EQ(static_cast<uint32_t>(RandomInt(n)), ref_.Next() % n);
    }
}

TEST_F(RandomHelpers, NegativeRandomIntStaysInMirroredRangeInsteadOfRawWord) {
    for (int i = 0; i < 500; ++i) {
        int32_t expected = -static_cast<int32_t>(ref_.Next() % 5);
        int32_t got = RandomInt(-5);
        ASSERT_EQ(got, expected);
        ASSERT_GT(got, -5);
        ASSERT_LE(got, 0);
    }
    for (int i = 0; i < 100; ++i) ASSERT_LE(RandomInt(INT_MIN), 0);
}

TEST_F(RandomHelpers, RandomRangeExcludesTheUpperEnd) {
    EXPECT_EQ(RandomRange(3, 3), 3);
    for (int i = 0; i < 1000; ++i) {
        int32_t v = RandomRange(0, 10);
        ASSERT_EQ(static_cast<uint32_t>(v), ref_.Next() % 10);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 10);
    }
}

TEST_F(RandomHelpers, ReversedRandomRangeStaysBetweenTheEndsInsteadOfRawWord) {
    for (int i = 0; i < 1000; ++i) {
        int32_t expected = 10 - static_cast<int32_t>(ref_.Next() % 13);
        int32_t v = RandomRange(10, -3);
        ASSERT_EQ(v, expected);
        ASSERT_GT(v, -3);
        ASSERT_LE(v, 10);
    }
}

TEST_F(RandomHelpers, FullWidthRandomRangeDoesNotWrapOutOfRange) {
    for (int i = 0; i < 1000; ++i) {
        int64_t v = RandomRange(INT_MIN, INT_MAX);
        ASSERT_LT(v, INT_MAX);
        int64_t w = RandomRange(-2000000000, 2000000000);
        ASSERT_GE(w, -2000000000);
        ASSERT_LT(w, 2000000000);
    }
}

TEST_F(RandomHelpers, RandomFloatScalesTheDrawAndZeroDrawsNothing) {
    EXPECT_EQ(RandomFloat(0.0f), 0.0f);
    for (float max : {1.0f, 3.5f, -2.0f}) {
        for (int i = 0; i < 100; ++i) {
            float expected = static_cast<float>(ref_.Next() / 2147483647.0 * max);
            ASSERT_EQ(RandomFloat(max), expected);
        }
    }
}

TEST_F(RandomHelpers, RandomFloatRangeStaysBetweenBothEnds) {
    for (int i = 0; i < 1000; ++i) {
        float expected = -1.0f + static_cast<float>(ref_.Next() / 2147483647.0 * 2.0);
        float v = RandomFloatRange(-1.0f, 1.0f);
        ASSERT_EQ(v, expected);
        ASSERT_GE(v, -1.0f);
        ASSERT_LE(v, 1.0f);
    }
    EXPECT_EQ(RandomReal(0.0), 0.0f);
}

}  // namespace
