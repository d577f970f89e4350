// Motion words through the managed tree: what the object's properties hold
// after the step and, for what runs on, after whole update steps.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/widgets/script_words_test_support.h"

namespace {

using testsupport::WordsTest;

TEST_F(WordsTest, SetFillsFieldsFromTheLastValueAlignsAndAddsOffsets) {
    DynamicWidget* box = Object(L"box", 0, 0, 40, 30);
    Do(L"set", {{L"property", L"x, y"}, {L"value", L"7"}});
    EXPECT_EQ(box->GetX(), 7.0f);
    EXPECT_EQ(box->GetY(), 7.0f);
    Do(L"set", {{L"property", L"x"}, {L"offset", L"5"}});
    EXPECT_EQ(box->GetX(), 12.0f);
    Do(L"set", {{L"property", L"x, y, opacity"}, {L"value", L"100, 100, 100"}, {L"align", L"center, bottom, right"}});
    EXPECT_EQ(box->GetX(), 100.0f - 40 / 2);
    EXPECT_EQ(box->GetY(), 100.0f - 30);
    EXPECT_EQ(box->opacity, 100.0f);  // alignment is for positions only
    Do(L"set", {{L"property", L"no_such, y"}, {L"value", L"1, 2"}});
    EXPECT_EQ(box->GetY(), 1.0f);  // values go to the fields found, in order
}

TEST_F(WordsTest, ValueListsKeepTinyAndHugeNumbersAndReadOnlyTextsAsText) {
    DynamicWidget* box = Object(L"box");
    runner->SetVariable(L"s", PropertyValue(L"2.5"));
    Do(L"set", {{L"property", L"scale_x, scale_y, z, angle"}, {L"value", L"0.00001, 2000000, s, true"}});
    EXPECT_EQ(box->scale_x, 0.00001f);
    EXPECT_EQ(box->scale_y, 2000000.0f);
    EXPECT_EQ(box->z, 2.5f);
    EXPECT_EQ(box->angle, 0.0f);  // a Bool reads through its text, "true", as before
}

TEST_F(WordsTest, ChangeFadesLinearlyOverFiftyUnitsByDefault) {
    DynamicWidget* box = Object(L"box");
    Do(L"change", {{L"property", L"opacity"}, {L"end", L"0"}});
    EXPECT_TRUE(box->IsAnimating());
    for (int step = 1; step <= 50; ++step) {
        Tick();
        ASSERT_NEAR(box->opacity, 1.0f - step / 50.0f, 1e-5f) << step;
    }
    EXPECT_FALSE(box->IsAnimating());
}

TEST_F(WordsTest, ChangeUnderTheSameNameReplacesAndStartsWhereTheFieldIs) {
    DynamicWidget* box = Object(L"box");
    Do(L"change", {{L"property", L"x"}, {L"end", L"100"}, {L"time", L"10"}, {L"controller", L"m"}});
    Tick(5);
    EXPECT_NEAR(box->GetX(), 50.0f, 1e-4f);
    Do(L"change", {{L"property", L"x"}, {L"end", L"0"}, {L"time", L"10"}, {L"controller", L"m"}});
    EXPECT_EQ(box->GetControllers().size(), 1u);
    Tick(5);
    EXPECT_NEAR(box->GetX(), 25.0f, 1e-4f);
    // "start" sets the field first; "offset" without "end" is relative; a head start counts.
    Do(L"change", {{L"property", L"y"},
                   {L"start", L"10"},
                   {L"offset", L"20"},
                   {L"time", L"4"},
                   {L"timer", L"1"},
                   {L"curve", L"in_quad"}});
    EXPECT_EQ(box->GetY(), 10.0f);
    Tick();  // progress 2/4 along t^2
    EXPECT_NEAR(box->GetY(), 10.0f + 20.0f * 0.25f, 1e-4f);
}

// The running step supplies a curve's parameters, a variable may name the
// curve, and a formula sees the script's variables.
TEST_F(WordsTest, ChangeCurvesReadTheStepAndTheScriptsVariables) {
    DynamicWidget* box = Object(L"box");
    Do(L"change", {{L"property", L"x"}, {L"end", L"10"}, {L"time", L"4"}, {L"curve", L"in_expo"}, {L"base", L"2"}});
    Tick(2);
    EXPECT_NEAR(box->GetX(), 10.0f * (std::sqrt(2.0f) - 1.0f), 1e-4f);
    runner->SetVariable(L"style", PropertyValue(L"out_quad"));
    Do(L"change", {{L"property", L"y"}, {L"end", L"10"}, {L"time", L"4"}, {L"curve", L"style"}});
    Tick();
    EXPECT_NEAR(box->GetY(), 10.0f * (1.0f - 0.75f * 0.75f), 1e-4f);
    runner->SetVariable(L"k", PropertyValue(3));
    Do(L"change", {{L"property", L"z"}, {L"end", L"10"}, {L"time", L"4"}, {L"curve", L"t * k"}});
    Tick();
    EXPECT_NEAR(box->z, 10.0f * 0.25f * 3.0f, 1e-4f);
}

TEST_F(WordsTest, SetUnderAnOscillationMovesItsCentreAndStopUndoesByDefault) {
    DynamicWidget* box = Object(L"box");
    Do(L"oscillate", {{L"property", L"y"}, {L"amplitude", L"10"}, {L"rate", L"4"}, {L"oscillation", L"wob"}});
    Tick();  // a quarter cycle: the top of the sine
    EXPECT_NEAR(box->GetY(), 10.0f, 1e-4f);
    Do(L"set", {{L"property", L"y"}, {L"value", L"50"}});
    EXPECT_NEAR(box->GetY(), 60.0f, 1e-4f);
    Do(L"stop-oscillation", {{L"oscillation", L"wob"}});
    EXPECT_EQ(box->GetY(), 50.0f);
    Do(L"oscillate", {{L"property", L"x"}, {L"amplitude", L"3"}, {L"start", L"top"}, {L"rate", L"4"}});
    Tick(4);  // a whole cycle from the top
    EXPECT_NEAR(box->GetX(), 3.0f, 1e-4f);
    Do(L"stop-oscillations", {{L"undo", L"0"}});
    EXPECT_NEAR(box->GetX(), 3.0f, 1e-4f);  // the displaced value stays
    EXPECT_TRUE(box->GetOscillations().empty());
}

TEST_F(WordsTest, OscillateWavesByCurveNameAndNoiseStartsAtARandomWholePhase) {
    DynamicWidget* box = Object(L"box");
    runner->SetVariable(L"h", PropertyValue(2));
    Do(L"oscillate", {{L"property", L"x"}, {L"amplitude", L"8"}, {L"rate", L"8"}, {L"curve", L"zigzag"}});
    Do(L"oscillate", {{L"property", L"y"}, {L"amplitude", L"8"}, {L"rate", L"8"}, {L"curve", L"t * h"}});
    Do(L"oscillate", {{L"property", L"z"}, {L"amplitude", L"8"}, {L"rate", L"8"}, {L"timer", L"0.5"}});
    Tick();  // an eighth of a cycle on
    EXPECT_NEAR(box->GetX(), 8.0f * 0.5f, 1e-4f);
    EXPECT_NEAR(box->GetY(), 8.0f * 0.125f * 2.0f, 1e-4f);
    EXPECT_NEAR(box->z, 8.0f * std::sin(2.0f * 3.14159265f * 0.625f), 1e-4f);
    Do(L"stop-oscillations", {});
    Do(L"oscillate", {{L"property", L"x"}, {L"curve", L"noise"}});
    ASSERT_EQ(box->GetOscillations().size(), 1u);
    const double phase = box->GetOscillations().begin()->second->GetPhase();
    EXPECT_EQ(phase, std::floor(phase));
    EXPECT_GE(phase, 0.0);
    EXPECT_LT(phase, 100.0);
}

TEST_F(WordsTest, ClampWithOnlyAMaximumLeavesTheLowerSideFree) {
    DynamicWidget* box = Object(L"box");
    Do(L"clamp", {{L"property", L"x, y"}, {L"max", L"10"}, {L"clamp", L"c"}});
    Do(L"set", {{L"property", L"x, y"}, {L"value", L"-500, 50"}});
    EXPECT_EQ(box->GetX(), -500.0f);
    EXPECT_EQ(box->GetY(), 10.0f);  // the last maximum pads the list
    Do(L"stop-clamp", {{L"clamp", L"c"}});
    EXPECT_EQ(box->GetY(), 50.0f);
}

TEST_F(WordsTest, PropelMovesUpForPositiveAnglesAndATerminalOneSnapsToItsEnd) {
    DynamicWidget* box = Object(L"box");
    Do(L"propel", {{L"property", L"x, y, opacity"}, {L"angle", L"90"}, {L"amplitude", L"2"}, {L"curve_speed", L"1"}});
    Tick(3);
    EXPECT_NEAR(box->GetX(), 0.0f, 1e-4f);
    EXPECT_NEAR(box->GetY(), -6.0f, 1e-4f);
    EXPECT_EQ(box->opacity, 1.0f);     // an angle moves two fields only
    EXPECT_FALSE(box->IsAnimating());  // an endless propeller does not count
    Do(L"propel", {{L"property", L"opacity"}, {L"velocity", L"3"}, {L"end", L"11"}, {L"snap", L"1"}});
    EXPECT_TRUE(box->IsAnimating());
    Tick(3);
    EXPECT_NEAR(box->opacity, 10.0f, 1e-3f);
    Tick();
    EXPECT_EQ(box->opacity, 11.0f);
    EXPECT_FALSE(box->IsAnimating());
}

TEST_F(WordsTest, BindWritesItsExpressionEveryUpdateWithTheVariablesOfItsStart) {
    DynamicWidget* box = Object(L"box");
    runner->SetVariable(L"n", PropertyValue(4));
    Do(L"bind", {{L"property", L"x, y"}, {L"value", L"n * 2, n + 1"}, {L"controller", L"b"}});
    runner->SetVariable(L"n", PropertyValue(100));
    Tick();
    EXPECT_EQ(box->GetX(), 8.0f);
    EXPECT_EQ(box->GetY(), 5.0f);
    Do(L"stop-controller", {{L"controller", L"b"}});
    EXPECT_TRUE(box->GetControllers().empty());
}

TEST_F(WordsTest, CircleTurnsCounterClockwiseOnTheScreen) {
    DynamicWidget* box = Object(L"box", 110, 100);
    Do(L"circle", {{L"x", L"100"}, {L"y", L"100"}, {L"angle", L"90"}, {L"time", L"10"}});
    Tick(5);
    EXPECT_NEAR(box->GetX(), 100.0f + 10.0f * std::cos(3.14159265f / 4), 1e-3f);
    EXPECT_NEAR(box->GetY(), 100.0f - 10.0f * std::sin(3.14159265f / 4), 1e-3f);
    Tick(5);
    EXPECT_NEAR(box->GetX(), 100.0f, 1e-3f);
    EXPECT_NEAR(box->GetY(), 90.0f, 1e-3f);
    EXPECT_FALSE(box->IsAnimating());
}

TEST_F(WordsTest, ArcLandsOnItsAlignedTargetAndShearAtSpeedZeroIsImmediate) {
    DynamicWidget* box = Object(L"box", 0, 100, 20, 10);
    Do(L"arc", {{L"x", L"50"},
                {L"y", L"40"},
                {L"align", L"center"},
                {L"valign", L"bottom"},
                {L"dy", L"5"},
                {L"min_dy", L"10"},
                {L"max_dy", L"30"},
                {L"time", L"8"}});
    Tick(8);
    EXPECT_NEAR(box->GetX(), 50.0f - 10, 1e-3f);
    EXPECT_NEAR(box->GetY(), 40.0f - 10 + 5, 1e-3f);
    Do(L"shear", {{L"x", L"0.5"}, {L"speed", L"0"}, {L"align", L"right"}});
    EXPECT_EQ(box->shear_x, 0.5f);
    EXPECT_EQ(box->shear_x_offset, 10.0f);  // the right edge, half the width from the middle
}

TEST_F(WordsTest, TwoVerticalFlipsComeBackAndAnyOtherDirIsHorizontal) {
    DynamicWidget* box = Object(L"box", 0, 0, 40, 20);
    Do(L"flip", {{L"dir", L"vertical"}});
    EXPECT_TRUE(box->GetProperty(L"flip_y").ToBool());
    EXPECT_FALSE(box->GetProperty(L"flip_x").ToBool());
    Do(L"flip", {{L"dir", L"vertical"}});
    EXPECT_FALSE(box->GetProperty(L"flip_y").ToBool());
    Do(L"flip", {{L"dir", L"sideways"}});
    EXPECT_TRUE(box->GetProperty(L"flip_x").ToBool());
}

}  // namespace
