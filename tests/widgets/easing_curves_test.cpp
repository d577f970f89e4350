// Every script curve name against its formula, the values scripts rely on,
// and the places where a formula has no value.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "easing_test_support.h"
#include "foundation/system/text.h"
#include "widgets/motion/easing_curve.h"

namespace {

using testsupport::Named;
using text::Widen;

using testsupport::kTolerance;

const char* const kWords[] = {"quad", "cubic", "quart", "quint", "sine", "expo", "circ", "elastic", "back", "bounce"};

std::vector<std::string> AllNames() {
    std::vector<std::string> names{"linear"};
    for (const char* prefix : {"in_", "out_", "in_out_", "out_in_"})
        for (const char* word : kWords) names.push_back(std::string(prefix) + word);
    return names;
}

float Eval(std::string_view name, float t) { return MakeEasingCurve(Widen(name))->Evaluate(t); }

class EasingNameTest : public ::testing::TestWithParam<std::string> {};

// Sample points keep clear of the bounce thresholds under every prefix.
TEST_P(EasingNameTest, FollowsItsFormulaAcrossTheRange) {
    auto curve = MakeEasingCurve(Widen(GetParam()));
    ASSERT_NE(curve, nullptr);
    for (double t : {0.0, 0.05, 0.2, 0.37, 0.5, 0.61, 0.8, 0.95, 1.0})
        EXPECT_NEAR(curve->Evaluate(static_cast<float>(t)), Named(GetParam(), t), kTolerance) << "t = " << t;
}

// Propellers feed time without end, and scripts any number: a curve may
// overflow to infinity there, but NaN would poison the field for good.
TEST_P(EasingNameTest, AnswersNoNanForHugeFiniteInputs) {
    auto curve = MakeEasingCurve(Widen(GetParam()));
    const float most = std::numeric_limits<float>::max();
    for (float t : {1e20f, 1e30f, 2e38f, most, -1e20f, -1e30f, -2e38f, -most})
        EXPECT_FALSE(std::isnan(curve->Evaluate(t))) << "t = " << t;
}

// A power of a huge t lies beyond the float range; the nearest float to it
// is the largest finite one, of the power's sign, never infinity.
TEST(EasingCurveTest, PowersPastTheFloatRangeHoldTheLargestFloatOfTheirSign) {
    const float most = std::numeric_limits<float>::max();
    InQuad quad;
    InCubic cubic;
    InQuart quart;
    InQuint quint;
    for (float t : {1e20f, 2e38f, most}) {
        EXPECT_EQ(quad.Evaluate(t), most);
        EXPECT_EQ(quad.Evaluate(-t), most);
        EXPECT_EQ(cubic.Evaluate(-t), -most);
        EXPECT_EQ(quart.Evaluate(-t), most);
        EXPECT_EQ(quint.Evaluate(t), most);
        EXPECT_EQ(quint.Evaluate(-t), -most);
    }
    EXPECT_FLOAT_EQ(quad.Evaluate(1e19f), 1e38f);  // still within the range
    // The bounce's arcs fall as steeply on either side.
    InBounce bounce;
    EXPECT_EQ(bounce.Evaluate(1e20f), -most);
    EXPECT_EQ(bounce.Evaluate(-1e20f), -most);
}

INSTANTIATE_TEST_SUITE_P(ScriptNames, EasingNameTest, ::testing::ValuesIn(AllNames()),
                         [](const auto& info) { return info.param; });

class EasingEndPointTest : public ::testing::TestWithParam<const char*> {};

TEST_P(EasingEndPointTest, InCurvesRunFromZeroToOne) {
    std::string name = std::string("in_") + GetParam();
    EXPECT_NEAR(Eval(name, 0.0f), 0.0, 1e-6) << name;
    EXPECT_NEAR(Eval(name, 1.0f), 1.0, 1e-5) << name;
}

INSTANTIATE_TEST_SUITE_P(Words, EasingEndPointTest,
                         ::testing::Values("quad", "cubic", "quart", "quint", "sine", "expo", "circ", "elastic",
                                           "back"));

TEST(EasingCurveTest, BounceStartsJustBelowZeroAndEndsAtOne) {
    EXPECT_NEAR(Eval("in_bounce", 0.0f), 0.027 - 8 * 0.0603075 * 0.0603075, 1e-6);
    EXPECT_NEAR(Eval("in_bounce", 0.0f), -0.0021, 1e-4);
    EXPECT_FLOAT_EQ(Eval("in_bounce", 1.0f), 1.0f);
}

TEST(EasingCurveTest, ValuesScriptsAreTunedTo) {
    EXPECT_NEAR(Eval("out_quad", 0.5f), 0.75, 1e-6);
    EXPECT_NEAR(Eval("in_out_quad", 0.25f), 0.125, 1e-6);
    EXPECT_NEAR(Eval("in_out_quad", 0.75f), 0.875, 1e-6);
    EXPECT_NEAR(Eval("in_back", 0.5f), -0.125, 1e-6);
    EXPECT_LT(Eval("in_back", 0.3f), 0.0f);
    // The default elastic lands on a crest of its sine: sin(12.5 pi) = 1.
    EXPECT_NEAR(Eval("in_elastic", 1.0f), 1.0, 1e-5);
}

TEST(EasingCurveTest, EmptyAndLinearNamesAreLinear) {
    for (const wchar_t* name : {L"", L"linear"}) {
        auto curve = MakeEasingCurve(name);
        EXPECT_NE(dynamic_cast<Linear*>(curve.get()), nullptr);
        EXPECT_FLOAT_EQ(curve->Evaluate(0.3f), 0.3f);
        EXPECT_FLOAT_EQ(curve->Evaluate(1.7f), 1.7f);  // propellers run past 1
    }
}

TEST(EasingCurveTest, PrefixesBuildTheirWrappers) {
    auto outIn = MakeEasingCurve(L"out_in_bounce");
    EXPECT_NE(dynamic_cast<OutInCurve*>(outIn.get()), nullptr);
    auto out = MakeEasingCurve(L"out_cubic");
    EXPECT_NE(dynamic_cast<OutCurve*>(out.get()), nullptr);
    auto inOut = MakeEasingCurve(L"in_out_sine");
    EXPECT_NE(dynamic_cast<InOutCurve*>(inOut.get()), nullptr);
    EXPECT_EQ(dynamic_cast<OutInCurve*>(inOut.get()), nullptr);
}

TEST(EasingCurveTest, ParabolaFollowsItsCoefficients) {
    ParabolicCurve jump(-2.0f, 3.0f, 0.0f);
    for (float t : {0.0f, 0.25f, 0.75f, 1.0f}) EXPECT_NEAR(jump.Evaluate(t), -2.0 * t * t + 3.0 * t, 1e-6);
}

TEST(EasingCurveTest, WrappersTakeANullInnerAsLinear) {
    OutCurve out(nullptr);
    InOutCurve inOut(nullptr);
    OutInCurve outIn(nullptr);
    for (float t : {0.0f, 0.3f, 0.8f}) {
        EXPECT_NEAR(out.Evaluate(t), t, 1e-6);
        EXPECT_NEAR(inOut.Evaluate(t), t, 1e-6);
        EXPECT_NEAR(outIn.Evaluate(t), t, 1e-6);
    }
}

// Nesting: each further "out_" wraps the in-out of the rest.
TEST(EasingCurveTest, NestedPrefixesFollowTheirFormula) {
    for (const char* name : {"out_out_quad", "out_in_out_cubic", "in_out_out_sine", "out_out_bounce"}) {
        auto curve = MakeEasingCurve(Widen(name));
        for (double t : {0.1, 0.37, 0.5, 0.8})
            EXPECT_NEAR(curve->Evaluate(static_cast<float>(t)), Named(name, t), kTolerance) << name << " " << t;
    }
}

std::string Repeat(const std::string& piece, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += piece;
    return s;
}

TEST(EasingCurveTest, NestingStopsAtTheCapWithALinearCore) {
    std::string atCap = Repeat("out_", kMaxCurveNesting) + "quad";
    std::string pastCap = Repeat("out_", kMaxCurveNesting + 1) + "quad";
    // Past the cap the same tower of wrappers stands around a linear core.
    std::string linearCore = Repeat("out_", kMaxCurveNesting) + "linear";
    auto at = MakeEasingCurve(Widen(atCap));
    auto past = MakeEasingCurve(Widen(pastCap));
    for (double t : {0.2, 0.45, 0.7}) {
        EXPECT_NEAR(at->Evaluate(static_cast<float>(t)), Named(atCap, t), kTolerance);
        EXPECT_NEAR(past->Evaluate(static_cast<float>(t)), Named(linearCore, t), kTolerance);
    }
}

TEST(EasingCurveTest, HugelyNestedNameNeitherRecursesNorHangs) {
    auto curve = MakeEasingCurve(Widen(Repeat("out_", 200000) + "quad"));
    float v = curve->Evaluate(0.3f);
    EXPECT_TRUE(std::isfinite(v));
}

// A base of exactly 1 divides the exponential rise by zero; its limit is t.
TEST(EasingCurveTest, BaseOneExponentialIsLinearNotNaN) {
    InExpo expo(1.0f);
    InElastic elastic(1.0f, 5 * 2.5f * kCurvePi, 1.0f);
    for (double t : {0.0, 0.3, 0.6, 1.0}) {
        EXPECT_NEAR(expo.Evaluate(static_cast<float>(t)), t, 1e-6);
        EXPECT_NEAR(elastic.Evaluate(static_cast<float>(t)), t * std::sin(5 * 2.5 * testsupport::kPi * t), 1e-4);
    }
}

TEST(EasingCurveTest, NegativeBaseExponentialIsLinearNotNaN) {
    InExpo expo(-4.0f);
    InElastic elastic(-4.0f, 3.0f, 0.5f);
    for (float t : {0.25f, 0.5f, 0.9f}) {
        EXPECT_FLOAT_EQ(expo.Evaluate(t), t);
        EXPECT_TRUE(std::isfinite(elastic.Evaluate(t)));
    }
}

// A propeller feeds time beyond 1 and a head start can feed it below 0:
// the quarter circle has no value there and must not write NaN.
TEST(EasingCurveTest, CircPastItsEndsRestsAtZeroNotNaN) {
    InCirc circ;
    EXPECT_FLOAT_EQ(circ.Evaluate(-0.5f), 0.0f);
    EXPECT_FLOAT_EQ(circ.Evaluate(2.5f), 0.0f);
    EXPECT_FLOAT_EQ(circ.Evaluate(2.0f), 0.0f);
    EXPECT_NEAR(circ.Evaluate(1.5f), std::sqrt(0.75), 1e-6);
    auto out = MakeEasingCurve(L"out_circ");
    EXPECT_TRUE(std::isfinite(out->Evaluate(-3.0f)));
}

TEST(EasingCurveTest, DegenerateParabolaMovesStraightOn) {
    ParabolicCurve flat(std::nanf(""), 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(flat.Evaluate(0.4f), 0.4f);
    ParabolicCurve steep(INFINITY, -INFINITY, 0.0f);
    EXPECT_FLOAT_EQ(steep.Evaluate(0.7f), 0.7f);
}

}  // namespace
