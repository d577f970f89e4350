#include "foundation/system/noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "foundation/system/random.h"

namespace {

// The tables rebuilt from the reference generator in the documented draw order.
struct ReferenceTables {
    std::array<int, 256> perm{};
    std::array<float, 256> grad{};

    explicit ReferenceTables(uint32_t seed) {
        std::mt19937 engine(seed);
        auto draw = [&] { return static_cast<uint32_t>(engine()) & 0x7FFFFFFFu; };
        for (int i = 0; i < 256; ++i) {
            perm[i] = i;
            grad[i] = -1.0f + static_cast<float>(draw() / 2147483647.0 * 2.0);
        }
        for (int i = 255; i >= 1; --i) std::swap(perm[i], perm[draw() % 256]);
    }

    float Noise(double x) const {
        double t = x + 4096.0;
        double b = std::floor(t), r = t - b;
        int i0 = static_cast<int>(b) % 256, i1 = (i0 + 1) % 256;
        double u = r * grad[perm[i0]], v = (r - 1.0) * grad[perm[i1]];
        return static_cast<float>(u + r * r * (3.0 - 2.0 * r) * (v - u));
    }
};

class Noise : public ::testing::Test {
protected:
    static constexpr uint32_t kSeed = 24680;
    void SetUp() override {
        SeedRandom(kSeed);
        InitNoiseTables();
    }
    ReferenceTables ref_{kSeed};
};

TEST_F(Noise, TablesFollowTheDrawOrderAndRepeat) {
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(NoisePermutation[i], ref_.perm[i]) << i;
        ASSERT_EQ(NoiseGradient1[i], ref_.grad[i]) << i;
    }
    for (int i = 0; i < 258; ++i) {
        ASSERT_EQ(NoisePermutation[256 + i], NoisePermutation[i]);
        ASSERT_EQ(NoiseGradient1[256 + i], NoiseGradient1[i]);
    }
    std::array<int, 256> sorted;
    std::copy_n(NoisePermutation.begin(), 256, sorted.begin());
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 256; ++i) ASSERT_EQ(sorted[i], i);
}

TEST_F(Noise, ZeroAtWholeNumbers) {
    for (int x = -300; x <= 300; x += 7) EXPECT_EQ(GradientNoise1D(x), 0.0f) << x;
}

TEST_F(Noise, MatchesTheGradientFormula) {
    for (double x : {0.25, 0.5, 1.75, 10.125, 100.6, -3.3}) EXPECT_NEAR(GradientNoise1D(x), ref_.Noise(x), 2e-3) << x;
}

TEST_F(Noise, RepeatsEvery256AndIsContinuous) {
    for (double x = 0.05; x < 20.0; x += 0.37) {
        EXPECT_NEAR(GradientNoise1D(x), GradientNoise1D(x + 256.0), 2e-3) << x;
        EXPECT_NEAR(GradientNoise1D(x), GradientNoise1D(x + 0.001), 5e-3) << x;
    }
}

TEST_F(Noise, HugeAndNonFiniteInputsReadZero) {
    EXPECT_EQ(GradientNoise1D(1e30), 0.0f);
    EXPECT_EQ(GradientNoise1D(-1e30), 0.0f);
    EXPECT_EQ(GradientNoise1D(std::nan("")), 0.0f);
    EXPECT_EQ(GradientNoise1D(INFINITY), 0.0f);
}

}  // namespace
