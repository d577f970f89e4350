// Waves against their formulas, forwards and backwards in phase, and
// phases that are no number at all.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <type_traits>

#include "foundation/system/noise.h"
#include "foundation/system/random.h"
#include "widgets/motion/waves.h"

namespace {

// Waves are held and deleted through the base by the oscillations.
static_assert(std::has_virtual_destructor_v<OscillatingCurve>);

// The triangle in step with the sine, from an independent formula.
double Triangle(double phase) { return 2.0 / std::numbers::pi * std::asin(std::sin(2.0 * std::numbers::pi * phase)); }

class WavePhaseTest : public ::testing::TestWithParam<double> {};

TEST_P(WavePhaseTest, SineFollowsItsFormula) {
    SineWave wave;
    EXPECT_NEAR(wave.Evaluate(GetParam()), std::sin(2.0 * 3.1415926 * GetParam()), 1e-9);
}

TEST_P(WavePhaseTest, ZigZagIsTheTriangleInStepWithTheSine) {
    ZigZagWave wave;
    EXPECT_NEAR(wave.Evaluate(GetParam()), Triangle(GetParam()), 1e-6);
}

TEST_P(WavePhaseTest, FormulaWaveSeesThePhaseAsT) {
    ExpressionWave wave(L"t * 2 - 1", nullptr);
    EXPECT_NEAR(wave.Evaluate(GetParam()), 2.0 * static_cast<float>(GetParam()) - 1.0, 1e-3);
}

// Negative phases come from a negative rate or start: a backwards wave.
INSTANTIATE_TEST_SUITE_P(Phases, WavePhaseTest,
                         ::testing::Values(0.0, 0.1, 0.25, 0.4, 0.5, 0.6, 0.75, 0.9, 1.3, 17.85, 1000.2, -0.1, -0.25,
                                           -0.5, -0.6, -0.75, -0.9, -3.35));

TEST(WaveTest, ZigZagPointsScriptsRelyOn) {
    ZigZagWave wave;
    EXPECT_NEAR(wave.Evaluate(0.5), 0.0, 1e-12);
    EXPECT_NEAR(wave.Evaluate(0.25), 1.0, 1e-12);
    EXPECT_NEAR(wave.Evaluate(1.75), -1.0, 1e-12);
    EXPECT_NEAR(wave.Evaluate(0.0), 0.0, 1e-12);
}

TEST(WaveTest, ZigZagNegativePhaseStaysWithinOne) {
    ZigZagWave wave;
    for (double phase = -5.0; phase < 0.0; phase += 0.01) {
        double v = wave.Evaluate(phase);
        EXPECT_GE(v, -1.0 - 1e-12) << phase;
        EXPECT_LE(v, 1.0 + 1e-12) << phase;
    }
}

class NoiseWaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        SeedRandom(1234);
        InitNoiseTables();
    }
};

TEST_F(NoiseWaveTest, IsTheGradientNoiseAtThePhase) {
    NoiseWave wave;
    bool moved = false;
    for (double phase : {0.3, 1.7, 42.42, -8.6}) {
        EXPECT_FLOAT_EQ(static_cast<float>(wave.Evaluate(phase)), GradientNoise1D(phase));
        moved = moved || wave.Evaluate(phase) != 0.0;
    }
    EXPECT_TRUE(moved);
}

TEST_F(NoiseWaveTest, RestsAtWholePhasesAndRepeatsEvery256) {
    NoiseWave wave;
    for (double phase : {0.0, 1.0, 99.0, -3.0}) EXPECT_EQ(wave.Evaluate(phase), 0.0);
    for (double phase : {0.37, 12.5}) EXPECT_NEAR(wave.Evaluate(phase), wave.Evaluate(phase + 256.0), 1e-4);
}

// A rate of 0 gives a phase step of 1 / 0: the wave must not hand NaN on.
TEST_F(NoiseWaveTest, NonNumberPhaseReadsAsRest) {
    std::unique_ptr<OscillatingCurve> waves[] = {std::make_unique<SineWave>(), std::make_unique<ZigZagWave>(),
                                                 std::make_unique<NoiseWave>(),
                                                 std::make_unique<ExpressionWave>(L"t + 1", nullptr)};
    for (auto& wave : waves)
        for (double phase : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()})
            EXPECT_EQ(wave->Evaluate(phase), 0.0);
}

TEST(ExpressionWaveTest, UsesItsCopyOfTheScriptsVariables) {
    VariableMap locals;
    locals[L"depth"] = PropertyValue(0.5f);
    ExpressionWave wave(L"sin(t * 360) * depth", &locals);
    locals[L"depth"] = PropertyValue(4);
    EXPECT_NEAR(wave.Evaluate(0.25), 0.5, 1e-5);
    EXPECT_NEAR(wave.Evaluate(0.125), 0.5 * std::sin(std::numbers::pi / 4), 1e-5);
    EXPECT_EQ(wave.Text(), L"sin(t * 360) * depth");
}

TEST(ExpressionWaveTest, FormulaWithoutValueReadsAsRest) {
    ExpressionWave wave(L"ln(t)", nullptr);
    EXPECT_EQ(wave.Evaluate(0.0), 0.0);
    ExpressionWave root(L"sqrt(t)", nullptr);
    EXPECT_EQ(root.Evaluate(-2.0), 0.0);
    EXPECT_NEAR(root.Evaluate(4.0), 2.0, 1e-6);
}

}  // namespace
