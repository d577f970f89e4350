// How a dynamic widget layers oscillations and clamps over base values, and
// how it stacks, replaces and stops its controllers, oscillations and clamps.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dynamic_widget_test_support.h"
#include "widgets/motion/controller_propeller.h"

namespace {

// One sine oscillation of `amplitude` on `property` with a period of 4.
std::unique_ptr<Oscillation> Sine(DynamicWidget& w, const wchar_t* name, std::wstring_view property, float amplitude,
                                  double phase = 0.0) {
    uint32_t mask = 0;
    float* field = w.GetPropertyPtr(property, mask);
    return std::make_unique<Oscillation>(name, &w, 4.0f, phase, nullptr, mask,
                                         std::vector<OscillationTarget>{{field, amplitude}});
}

TEST(OscillationTest, ApplyAddsAmplitudeTimesTheWaveAndRemoveRestoresExactly) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.angle = 0.1f;  // a base value no offset sum would restore by chance
    auto o = Sine(w, L"o", L"angle", 7.0f, 0.1);
    double phase = 0.1;
    for (float x : {0.3f, 1.0f, 2.7f}) {
        o->Apply(x);
        phase += static_cast<double>(x * 0.25f);
        EXPECT_NEAR(w.angle, 0.1 + 7.0 * std::sin(2.0 * std::numbers::pi * phase), 1e-4);
        o->Remove();
        EXPECT_EQ(w.angle, 0.1f);
    }
    // A second removal has nothing left to take off.
    o->Remove();
    EXPECT_EQ(w.angle, 0.1f);
}

TEST(OscillationTest, RegressionZeroPeriodStaysAtRestInsteadOfNan) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    uint32_t mask = 0;
    Oscillation o(L"", &w, 0.0f, 0.25, nullptr, 0, {{w.GetPropertyPtr(L"opacity", mask), 0.5f}});
    o.Apply(1.0f);
    EXPECT_EQ(w.opacity, 1.0f);
    EXPECT_TRUE(std::isfinite(o.GetPhase()));
}

TEST(ClampTest, LimitsAndGivesTheUnclampedValueBack) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.opacity = 1.5f;
    w.red = -2.0f;
    w.green = 5.0f;
    Clamp c(L"", &w, {{&w.opacity, 0.0f, 1.0f}, {&w.red, 0.0f, 1.0f}, {&w.green, 10.0f, 0.0f}});
    c.Restore();  // nothing saved yet: nothing written
    EXPECT_EQ(w.opacity, 1.5f);
    c.Apply();
    EXPECT_EQ(w.opacity, 1.0f);
    EXPECT_EQ(w.red, 0.0f);
    EXPECT_EQ(w.green, 0.0f);  // crossed limits: the upper one wins
    c.Restore();
    EXPECT_EQ(w.opacity, 1.5f);
    EXPECT_EQ(w.red, -2.0f);
    EXPECT_EQ(w.green, 5.0f);
}

// The matrix a widget composes for `angle`, worked out by a widget no clamp touches.
Matrix4 TurnedBy(float angle) {
    DynamicWidget reference(0, 0, nullptr, 1.0f);
    reference.angle = angle;
    Transform t = reference.ComposeTransform();
    return t.GetMatrix();
}

::testing::AssertionResult SameMatrix(const Matrix4& want, Transform got) {
    const Matrix4& m = got.GetMatrix();
    for (int i = 0; i < 16; ++i)
        if (std::fabs(want[i] - m[i]) > 1e-5f)
            return ::testing::AssertionFailure() << "entry " << i << ": " << m[i] << " instead of " << want[i];
    return ::testing::AssertionSuccess();
}

// A clamp made without change bits, as a script's is, on a property the
// composed transform is made of.
TEST(ClampTest, LimitingOrReleasingATransformPropertyReachesTheComposedTransform) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.SetFloatProperty(L"angle", 90.0f, false);
    ASSERT_TRUE(SameMatrix(TurnedBy(90.0f), w.ComposeTransform()));
    w.AddClamp(std::make_unique<Clamp>(L"c", &w, std::vector<ClampTarget>{{&w.angle, 0.0f, 45.0f}}));
    EXPECT_TRUE(SameMatrix(TurnedBy(45.0f), w.ComposeTransform()));
    w.StopClamp(L"c", true);
    EXPECT_TRUE(SameMatrix(TurnedBy(90.0f), w.ComposeTransform()));
}

// The matrix a widget composes with these properties set, worked out by a
// widget nothing else touches.
Matrix4 ComposedWith(std::initializer_list<std::pair<std::wstring_view, float>> properties) {
    DynamicWidget reference(0, 0, nullptr, 1.0f);
    for (const auto& [name, value] : properties) reference.SetFloatProperty(name, value, false);
    Transform t = reference.ComposeTransform();
    return t.GetMatrix();
}

// Taken off with undo, an oscillation on a property the composed transform
// is made of leaves the transform where the base value puts it.
TEST(OscillationTest, StoppingWithUndoReachesTheComposedTransform) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.SetFloatProperty(L"angle", 30.0f, false);
    w.AddOscillation(Sine(w, L"turn", L"angle", 20.0f, 0.25));  // laid on at once: +20
    ASSERT_TRUE(SameMatrix(ComposedWith({{L"angle", 50.0f}}), w.ComposeTransform()));
    w.StopOscillation(L"turn", true);
    EXPECT_TRUE(SameMatrix(ComposedWith({{L"angle", 30.0f}}), w.ComposeTransform()));

    w.AddOscillation(Sine(w, L"grow", L"scale_x", 0.5f, 0.25));
    ASSERT_TRUE(SameMatrix(ComposedWith({{L"angle", 30.0f}, {L"scale_x", 1.5f}}), w.ComposeTransform()));
    w.StopOscillations(true);
    EXPECT_TRUE(SameMatrix(ComposedWith({{L"angle", 30.0f}}), w.ComposeTransform()));
}

TEST(LayeringTest, SettingABaseValueMovesTheCentreOfTheOscillation) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.AddOscillation(Sine(w, L"o", L"x", 10.0f, 0.25));  // laid on at once: sin(pi/2) = 1
    EXPECT_FLOAT_EQ(w.GetX(), 10.0f);
    w.SetFloatProperty(L"x", 100.0f, false);
    EXPECT_FLOAT_EQ(w.GetX(), 110.0f);
    w.SetFloatProperty(L"x", 5.0f, true);
    EXPECT_FLOAT_EQ(w.GetX(), 115.0f);
    w.UpdateFraction(1.0f);  // phase 0.5: sin(pi) = 0
    EXPECT_NEAR(w.GetX(), 105.0f, 1e-4f);
    w.SetPosition(L"x", L"nothing", 1.0f, 2.0f, false);
    w.RemoveOffsets();
    EXPECT_EQ(w.GetX(), 1.0f);
}

TEST(LayeringTest, ClampHoldsTheSumOfBaseAndOscillationAndStopsWithOrWithoutUndo) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.opacity = 0.5f;
    w.AddOscillation(Sine(w, L"o", L"opacity", 0.75f, 0.25));
    w.AddClamp(std::make_unique<Clamp>(L"c", &w, std::vector<ClampTarget>{{&w.opacity, 0.0f, 1.0f}}));
    EXPECT_EQ(w.opacity, 1.0f);  // 0.5 + 0.75 clamped
    w.StopClamp(L"c", true);
    EXPECT_EQ(w.opacity, 1.25f);
    // Undo on stopping clamps puts the oscillation back on as well.
    w.AddClamp(std::make_unique<Clamp>(L"", &w, std::vector<ClampTarget>{{&w.opacity, 0.0f, 1.0f}}));
    w.StopClamps(true);
    EXPECT_EQ(w.opacity, 1.25f);
    w.RemoveOffsets();
    EXPECT_EQ(w.opacity, 0.5f);
    w.ApplyOffsets(0.0f);
    // Without undo the displaced value becomes the base value.
    w.StopOscillation(L"o", false);
    EXPECT_EQ(w.opacity, 1.25f);
    w.RemoveOffsets();
    EXPECT_EQ(w.opacity, 1.25f);
}

TEST(LayeringTest, RegressionStopClampsWithUndoKeepsTheOscillationsOn) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.AddOscillation(Sine(w, L"o", L"y", 4.0f, 0.25));
    w.AddClamp(std::make_unique<Clamp>(L"c", &w, std::vector<ClampTarget>{{&w.opacity, 0.0f, 0.5f}}));
    EXPECT_EQ(w.opacity, 0.5f);
    w.StopClamps(true);
    EXPECT_EQ(w.opacity, 1.0f);
    EXPECT_FLOAT_EQ(w.GetY(), 4.0f);                     // still displaced: the oscillation runs on
    for (int i = 0; i < 4; ++i) w.UpdateFraction(1.0f);  // a whole period
    EXPECT_NEAR(w.GetY(), 4.0f, 1e-4f);
    w.StopOscillations(true);
    EXPECT_NEAR(w.GetY(), 0.0f, 1e-5f);
}

TEST(StackingTest, SameNameReplacesAndTheEarlierStopsWhereItWas) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.TweenProperty(L"move", L"x", 100.0f, 10.0f, nullptr, false);
    w.UpdateFraction(2.0f);
    EXPECT_FLOAT_EQ(w.GetX(), 20.0f);
    w.TweenProperty(L"move", L"x", 20.0f, 4.0f, nullptr, false);  // starts where the first stood
    EXPECT_EQ(w.GetControllers().size(), 1u);
    EXPECT_EQ(w.GetControllerCount(), 1);
    w.UpdateFraction(1.0f);
    EXPECT_FLOAT_EQ(w.GetX(), 20.0f);
    w.TweenProperty(L"move", L"x", 40.0f, 4.0f, nullptr, true);  // relative: to 60
    w.UpdateFraction(2.0f);
    EXPECT_FLOAT_EQ(w.GetX(), 40.0f);
    w.UpdateFraction(2.0f);
    EXPECT_FLOAT_EQ(w.GetX(), 60.0f);
    EXPECT_TRUE(w.GetControllers().empty());
    EXPECT_FALSE(w.IsAnimating());
}

TEST(StackingTest, UnnamedChangesBothRunAndTheLaterNameWritesLast) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    uint32_t mask = 0;
    float* y = w.GetPropertyPtr(L"y", mask);
    auto low =
        std::make_unique<Tweener>(L"", &w, 2.0f, nullptr, mask, std::vector<TweenTarget>{{y, 0.0f, 10.0f}}, 0.0f);
    auto high =
        std::make_unique<Tweener>(L"", &w, 2.0f, nullptr, mask, std::vector<TweenTarget>{{y, 0.0f, 50.0f}}, 0.0f);
    const bool highWritesLast = high->GetName() > low->GetName();
    w.AddController(std::move(low));
    w.AddController(std::move(high));
    EXPECT_EQ(w.GetControllers().size(), 2u);
    EXPECT_EQ(w.GetControllerCount(), 2);
    w.UpdateFraction(1.0f);
    EXPECT_FLOAT_EQ(w.GetY(), highWritesLast ? 25.0f : 5.0f);
    w.UpdateFraction(1.0f);
    EXPECT_FLOAT_EQ(w.GetY(), highWritesLast ? 50.0f : 10.0f);
    EXPECT_TRUE(w.GetControllers().empty());
}

TEST(StackingTest, StopControllerByNameAndStopChanges) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.TweenProperty(L"a", L"x", 10.0f, 10.0f, nullptr, false);
    w.TweenProperty(L"b", L"y", 10.0f, 10.0f, nullptr, false);
    w.StopController(L"missing");
    EXPECT_EQ(w.GetControllerCount(), 2);
    w.StopController(L"a");
    EXPECT_EQ(w.GetControllerCount(), 1);
    w.UpdateFraction(5.0f);
    EXPECT_EQ(w.GetX(), 0.0f);
    EXPECT_FLOAT_EQ(w.GetY(), 5.0f);
    w.StopChanges();
    EXPECT_TRUE(w.GetControllers().empty());
    EXPECT_EQ(w.GetControllerCount(), 0);
    w.TweenProperty(L"c", L"no_such_property", 1.0f, 1.0f, nullptr, false);
    EXPECT_TRUE(w.GetControllers().empty());
}

TEST(StackingTest, OscillationsAndClampsReplaceByName) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.AddOscillation(Sine(w, L"o", L"x", 10.0f, 0.25));
    w.AddOscillation(Sine(w, L"o", L"x", 3.0f, 0.25));  // the first's offset is taken off with it
    EXPECT_EQ(w.GetOscillations().size(), 1u);
    EXPECT_FLOAT_EQ(w.GetX(), 3.0f);
    uint32_t mask = 0;
    float* x = w.GetPropertyPtr(L"x", mask);
    w.AddClamp(std::make_unique<Clamp>(L"c", &w, std::vector<ClampTarget>{{x, 0.0f, 1.0f}}));
    w.AddClamp(std::make_unique<Clamp>(L"c", &w, std::vector<ClampTarget>{{x, 0.0f, 2.0f}}));
    EXPECT_EQ(w.GetClamps().size(), 1u);
    EXPECT_FLOAT_EQ(w.GetX(), 2.0f);
    w.StopClamp(L"c", true);
    w.StopOscillation(L"o", true);
    EXPECT_EQ(w.GetX(), 0.0f);
}

}  // namespace

namespace {

TEST(LayeringTest, RegressionTwoClampsOnOneFieldGiveTheBaseValueBack) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.opacity = 3.0f;
    w.AddClamp(std::make_unique<Clamp>(L"a", &w, std::vector<ClampTarget>{{&w.opacity, 0.0f, 2.0f}}));
    w.AddClamp(std::make_unique<Clamp>(L"b", &w, std::vector<ClampTarget>{{&w.opacity, 0.0f, 1.0f}}));
    EXPECT_EQ(w.opacity, 1.0f);
    for (int i = 0; i < 3; ++i) w.UpdateFraction(1.0f);
    w.RemoveOffsets();
    EXPECT_EQ(w.opacity, 3.0f);
}

TEST(LayeringTest, RegressionStackedOscillationsDoNotDriftTheBaseValue) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.SetFloatProperty(L"angle", 0.1f, false);
    w.AddOscillation(Sine(w, L"a", L"angle", 7.3f, 0.1));
    w.AddOscillation(Sine(w, L"b", L"angle", 0.37f, 0.3));
    for (int i = 0; i < 1000; ++i) w.UpdateFraction(0.37f);
    w.RemoveOffsets();
    EXPECT_EQ(w.angle, 0.1f);
}

}  // namespace
