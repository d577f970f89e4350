// Curves made by name with the parameters and variables of a script step:
// parameters, formulas, unknown names and the "curve" attribute.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

#include "easing_test_support.h"
#include "widgets/motion/easing_formula.h"

namespace {

using testsupport::FakeCurveSource;
using testsupport::Named;
using testsupport::Params;

using testsupport::kTolerance;

void ExpectFollows(EasingCurve& curve, const std::string& name, const Params& p) {
    for (double t : {0.0, 0.15, 0.4, 0.55, 0.85, 1.0})
        EXPECT_NEAR(curve.Evaluate(static_cast<float>(t)), Named(name, t, p), kTolerance) << name << " t = " << t;
}

TEST(EasingParameterTest, ExpoTakesItsBase) {
    FakeCurveSource step;
    step.attributes[L"base"] = PropertyValue(2);
    ExpectFollows(*MakeEasingCurve(L"in_expo", &step), "in_expo", {.expoBase = 2.0});
    ExpectFollows(*MakeEasingCurve(L"out_expo", &step), "out_expo", {.expoBase = 2.0});
}

TEST(EasingParameterTest, ElasticTakesBasePeriodAndFraction) {
    FakeCurveSource step;
    step.attributes[L"base"] = PropertyValue(100.0f);
    step.attributes[L"period"] = PropertyValue(3);
    step.attributes[L"fraction"] = PropertyValue(0.4f);
    Params p{.elasticBase = 100.0, .period = 3, .fraction = 0.4};
    ExpectFollows(*MakeEasingCurve(L"in_elastic", &step), "in_elastic", p);
    ExpectFollows(*MakeEasingCurve(L"in_out_elastic", &step), "in_out_elastic", p);
}

TEST(EasingParameterTest, ElasticPeriodIsWhole) {
    FakeCurveSource step;
    step.attributes[L"period"] = PropertyValue(2.7f);
    ExpectFollows(*MakeEasingCurve(L"in_elastic", &step), "in_elastic", {.period = 2});
}

TEST(EasingParameterTest, BackTakesItsAcceleration) {
    FakeCurveSource step;
    step.attributes[L"accel"] = PropertyValue(0.0f);
    // Without acceleration the back curve is the cubic.
    ExpectFollows(*MakeEasingCurve(L"in_back", &step), "in_cubic", {});
    step.attributes[L"accel"] = PropertyValue(3.5f);
    ExpectFollows(*MakeEasingCurve(L"out_in_back", &step), "out_in_back", {.accel = 3.5});
}

TEST(EasingParameterTest, AbsentParametersTakeTheirDefaults) {
    FakeCurveSource step;
    for (const char* name : {"in_expo", "in_elastic", "in_back"}) {
        std::wstring wide(name, name + std::strlen(name));
        ExpectFollows(*MakeEasingCurve(wide, &step), name, {});
        ExpectFollows(*MakeEasingCurve(wide), name, {});
    }
}

// A parameter computed as NaN (sqrt of a negative number in the script)
// would poison every value of the curve.
TEST(EasingParameterTest, NonFiniteParameterTakesTheDefault) {
    FakeCurveSource step;
    step.attributes[L"accel"] = PropertyValue(std::nanf(""));
    step.attributes[L"base"] = PropertyValue(INFINITY);
    ExpectFollows(*MakeEasingCurve(L"in_back", &step), "in_back", {});
    ExpectFollows(*MakeEasingCurve(L"in_expo", &step), "in_expo", {});
}

TEST(EasingFormulaTest, UnknownNamesAreFormulasInT) {
    auto square = MakeEasingCurve(L"t * t");
    ASSERT_NE(dynamic_cast<ExpressionCurve*>(square.get()), nullptr);
    for (double t : {0.0, 0.3, 0.9}) EXPECT_NEAR(square->Evaluate(static_cast<float>(t)), t * t, 1e-6);

    auto sine = MakeEasingCurve(L"sin(t * 90)");
    for (double t : {0.0, 0.5, 1.0})
        EXPECT_NEAR(sine->Evaluate(static_cast<float>(t)), std::sin(t * std::numbers::pi / 2), 1e-5);

    auto step = MakeEasingCurve(L"t < 0.5 ? 0 : 1");
    EXPECT_FLOAT_EQ(step->Evaluate(0.49f), 0.0f);
    EXPECT_FLOAT_EQ(step->Evaluate(0.5f), 1.0f);
}

TEST(EasingFormulaTest, NamesThatOnlyLookBuiltInAreFormulas) {
    // Case matters: "Linear" is a bare word, its own text, which reads as 0.
    auto capital = MakeEasingCurve(L"Linear");
    auto* formula = dynamic_cast<ExpressionCurve*>(capital.get());
    ASSERT_NE(formula, nullptr);
    EXPECT_EQ(formula->Text(), L"Linear");
    EXPECT_FLOAT_EQ(capital->Evaluate(0.6f), 0.0f);
    // out_linear asks for in_linear, no built-in: the mirror of a constant 0.
    auto outLinear = MakeEasingCurve(L"out_linear");
    EXPECT_NE(dynamic_cast<OutCurve*>(outLinear.get()), nullptr);
    EXPECT_FLOAT_EQ(outLinear->Evaluate(0.2f), 1.0f);
}

TEST(EasingFormulaTest, FormulaSeesTheScriptsLocalsAsTheyWereWhenMade) {
    FakeCurveSource step;
    step.variables[L"k"] = PropertyValue(3);
    auto curve = MakeEasingCurve(L"k * t", &step);
    step.variables[L"k"] = PropertyValue(10);
    EXPECT_NEAR(curve->Evaluate(0.5f), 1.5, 1e-6);
    EXPECT_NEAR(curve->Evaluate(0.25f), 0.75, 1e-6);
}

TEST(EasingFormulaTest, TShadowsALocalOfThatName) {
    FakeCurveSource step;
    step.variables[L"t"] = PropertyValue(L"text");
    auto curve = MakeEasingCurve(L"t + 1", &step);
    EXPECT_NEAR(curve->Evaluate(0.25f), 1.25, 1e-6);
    // The script's own variable is left alone.
    EXPECT_EQ(step.variables[L"t"].ToString(), L"text");
}

TEST(EasingFormulaTest, FormulaWithoutValueYieldsLinearNotNaN) {
    auto root = MakeEasingCurve(L"sqrt(0 - t)");
    EXPECT_FLOAT_EQ(root->Evaluate(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(root->Evaluate(0.5f), 0.5f);
    auto log = MakeEasingCurve(L"ln(t)");
    EXPECT_FLOAT_EQ(log->Evaluate(0.0f), 0.0f);  // ln(0) is -infinity
    EXPECT_NEAR(log->Evaluate(0.5f), std::log(0.5), 1e-6);
}

TEST(EasingFormulaTest, SelfEvaluatingFormulaStopsAndReadsZero) {
    FakeCurveSource step;
    step.variables[L"again"] = PropertyValue(L"eval(again)");
    auto curve = MakeEasingCurve(L"eval(again)", &step);
    EXPECT_FLOAT_EQ(curve->Evaluate(0.5f), 0.0f);
    // Evaluating again starts afresh rather than staying stuck at the cap.
    auto plain = MakeEasingCurve(L"t * 2", &step);
    EXPECT_FLOAT_EQ(plain->Evaluate(0.25f), 0.5f);
    EXPECT_FLOAT_EQ(curve->Evaluate(0.7f), 0.0f);
}

TEST(CurveAttributeTest, LocalVariableSuppliesTheName) {
    FakeCurveSource step;
    step.variables[L"style"] = PropertyValue(L"in_sine");
    auto curve = ReadCurveAttribute(L"style", &step);
    EXPECT_NE(dynamic_cast<InSine*>(curve.get()), nullptr);
}

TEST(CurveAttributeTest, TextNamingNoVariableIsTheName) {
    FakeCurveSource step;
    step.variables[L"style"] = PropertyValue(L"in_sine");
    EXPECT_NE(dynamic_cast<InQuad*>(ReadCurveAttribute(L"in_quad", &step).get()), nullptr);
    EXPECT_NE(dynamic_cast<InQuad*>(ReadCurveAttribute(L"in_quad").get()), nullptr);
}

TEST(CurveAttributeTest, AbsentAttributeIsLinear) {
    FakeCurveSource step;
    EXPECT_NE(dynamic_cast<Linear*>(ReadCurveAttribute(L"", &step).get()), nullptr);
    EXPECT_NE(dynamic_cast<Linear*>(ReadCurveAttribute(L"").get()), nullptr);
}

TEST(CurveAttributeTest, VariableNameKeepsTheStepsParameters) {
    FakeCurveSource step;
    step.variables[L"style"] = PropertyValue(L"out_back");
    step.attributes[L"accel"] = PropertyValue(1.0f);
    ExpectFollows(*ReadCurveAttribute(L"style", &step), "out_back", {.accel = 1.0});
}

}  // namespace
