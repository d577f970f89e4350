// Tweener, Propeller and TerminalPropeller against their update rules,
// computed here step by step.

#include <gtest/gtest.h>

#include <cmath>
#include <cwctype>
#include <limits>
#include <string>
#include <vector>

#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/motion/controller_propeller.h"
#include "widgets/motion/easing_factory.h"

namespace {

// c = t^2, a curve the tests can evaluate by hand.
class SquareCurve : public EasingCurve {
public:
    float Evaluate(float t) override { return t * t; }
};

// From one to five targets, the first ones kept apart from the rest, each
// moves along the curve in step; a linear curve given is the course taken
// with none. An overshooting step stops at progress 1: the end values exactly.
TEST(TweenerTest, EveryTargetFollowsTheCurveFromStartToEndAndFinishesAtProgressOne) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    for (size_t count = 1; count <= 5; ++count) {
        for (int kind = 0; kind < 3; ++kind) {
            std::vector<float> fields(count, 0.0f);
            std::vector<TweenTarget> targets;
            for (size_t i = 0; i < count; ++i)
                targets.push_back(
                    {&fields[i], static_cast<float>(i), (i % 2 == 0 ? 10.0f : -10.0f) * static_cast<float>(i + 1)});
            std::unique_ptr<EasingCurve> curve;
            if (kind == 1) curve = std::make_unique<Linear>();
            if (kind == 2) curve = std::make_unique<SquareCurve>();
            Tweener t(L"t", &w, 4.0f, std::move(curve), 0, targets, 0.0f);
            EXPECT_FLOAT_EQ(t.GetRate(), 0.25f);
            for (int step = 1; step <= 3; ++step) {
                EXPECT_FALSE(t.Update(1.0f));
                const float p = 0.25f * static_cast<float>(step), c = kind == 2 ? p * p : p;
                for (size_t i = 0; i < count; ++i)
                    EXPECT_FLOAT_EQ(fields[i], targets[i].end * c + targets[i].start * (1.0f - c))
                        << count << " " << kind << " " << i;
            }
            EXPECT_TRUE(t.Update(3.0f));
            EXPECT_FLOAT_EQ(t.GetProgress(), 1.0f);
            for (size_t i = 0; i < count; ++i) EXPECT_EQ(fields[i], targets[i].end) << count << " " << kind << " " << i;
        }
    }
}

TEST(TweenerTest, HeadStartAndZeroDurationSetProgressAndRate) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float f = 0.0f;
    Tweener late(L"", &w, 2.0f, nullptr, 0, {{&f, 0.0f, 8.0f}}, 0.5f);
    EXPECT_FLOAT_EQ(late.GetProgress(), 0.25f);
    late.Update(0.5f);  // 0.25 + 0.5 / 2
    EXPECT_FLOAT_EQ(f, 8.0f * 0.5f);

    // No duration: one whole change per update unit, from progress 0.
    Tweener instant(L"", &w, 0.0f, nullptr, 0, {{&f, 0.0f, 8.0f}}, 5.0f);
    EXPECT_FLOAT_EQ(instant.GetRate(), 1.0f);
    EXPECT_FLOAT_EQ(instant.GetProgress(), 0.0f);
    EXPECT_FALSE(instant.Update(0.5f));
    EXPECT_FLOAT_EQ(f, 4.0f);
    EXPECT_TRUE(instant.Update(0.5f));
    EXPECT_EQ(f, 8.0f);
}

TEST(TweenerTest, RegressionNegativeOrNanDurationWritesNoNan) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float f = 1.0f;
    Tweener t(L"", &w, std::nanf(""), nullptr, 0, {{&f, 1.0f, 3.0f}}, 1.0f);
    EXPECT_FALSE(t.Update(0.5f));
    EXPECT_FLOAT_EQ(f, 2.0f);
    Tweener n(L"", &w, -2.0f, nullptr, 0, {{&f, 1.0f, 3.0f}}, 1.0f);
    EXPECT_TRUE(n.Update(1.0f));
    EXPECT_EQ(f, 3.0f);
}

// 1 / 1e-40 overflows: an update of no time would multiply infinity by 0.
TEST(TweenerTest, DurationTooShortForItsRateFinishesAtTheFirstUpdateWithoutNan) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float f = 1.0f;
    Tweener t(L"", &w, 1e-40f, nullptr, 0, {{&f, 1.0f, 3.0f}}, 0.0f);
    EXPECT_FALSE(t.Update(0.0f));
    EXPECT_EQ(f, 1.0f);
    EXPECT_TRUE(t.Update(0.25f));
    EXPECT_EQ(f, 3.0f);
}

TEST(PropellerTest, LinearMovesByVelocityPerUnitWhateverTheRate) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    for (float rate : {1.0f, 0.5f, 3.0f}) {
        float f = 100.0f;
        Propeller p(L"", &w, rate, 0.0f, std::make_unique<Linear>(), 0, {{&f, 2.0f}});
        for (int i = 1; i <= 5; ++i) {
            EXPECT_FALSE(p.Update(1.0f));
            EXPECT_NEAR(f, 100.0f + 2.0f * static_cast<float>(i), 1e-4f) << "rate " << rate;
        }
    }
    EXPECT_EQ(w.GetControllerCount(), 0);  // a propeller never counts as animating
}

TEST(PropellerTest, AddsOnlyItsOwnChangeSoOtherWritersKeepTheirShare) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float f = 0.0f;
    Propeller p(L"", &w, 2.0f, 0.0f, std::make_unique<SquareCurve>(), 0, {{&f, 6.0f}});
    // Offset after time t: (6 / 2) * (2 t)^2.
    auto offset = [](float t) { return 3.0f * (2.0f * t) * (2.0f * t); };
    p.Update(1.0f);
    EXPECT_FLOAT_EQ(f, offset(1.0f));
    f += 100.0f;  // someone else writes the field
    p.Update(0.5f);
    EXPECT_FLOAT_EQ(f, 100.0f + offset(1.5f));
}

TEST(PropellerTest, StartingPartWayDoesNotJump) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float f = 7.0f;
    Propeller p(L"", &w, 1.0f, 2.0f, std::make_unique<SquareCurve>(), 0, {{&f, 1.0f}});
    EXPECT_EQ(f, 7.0f);
    p.Update(1.0f);
    EXPECT_FLOAT_EQ(f, 7.0f + (3.0f * 3.0f - 2.0f * 2.0f));
}

TEST(PropellerTest, RegressionZeroRateStandsStillInsteadOfInfiniteVelocity) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float f = 5.0f;
    Propeller p(L"", &w, 0.0f, 1.0f, std::make_unique<Linear>(), 0, {{&f, 3.0f}});
    for (int i = 0; i < 3; ++i) p.Update(1.0f);
    EXPECT_EQ(f, 5.0f);
}

TEST(TerminalPropellerTest, FinishesWhenTheFirstEntryArrivesAndSnapsAll) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float a = 0.0f, b = 10.0f;
    {
        TerminalPropeller p(L"", &w, 1.0f, 0.0f, std::make_unique<Linear>(), 0,
                            {{&a, 1.0f, 3.0f, true}, {&b, -1.0f, 0.0f, false}}, true);
        EXPECT_EQ(w.GetControllerCount(), 1);
        EXPECT_FALSE(p.Update(1.0f));
        EXPECT_FALSE(p.Update(1.0f));
        EXPECT_FLOAT_EQ(a, 2.0f);
        EXPECT_FLOAT_EQ(b, 8.0f);
        // a reaches 3 exactly: equality counts; with snap b jumps to its end too.
        EXPECT_TRUE(p.Update(1.0f));
        EXPECT_EQ(a, 3.0f);
        EXPECT_EQ(b, 0.0f);
    }
    EXPECT_EQ(w.GetControllerCount(), 0);
}

TEST(TerminalPropellerTest, WithoutSnapFieldsStayWhereTheLastStepLeftThem) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float a = 10.0f;
    TerminalPropeller p(L"", &w, 1.0f, 0.0f, std::make_unique<Linear>(), 0, {{&a, -4.0f, 5.0f, false}}, false);
    EXPECT_FALSE(p.Update(1.0f));
    EXPECT_TRUE(p.Update(1.0f));  // 2 <= 5: passed the end
    EXPECT_FLOAT_EQ(a, 2.0f);
}

// A propeller runs for as long as the widget lives, so its curve's input
// grows without end. Whatever the curve, it must never write infinity (or
// NaN) into its field: past the float range a field holds the largest float
// of the direction it moves in.
class PropellerCurveTest : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(PropellerCurveTest, HugeRunningTimesWriteOnlyFiniteValues) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    for (float velocity : {1e30f, -1e30f}) {
        float f = 1.0f;
        Propeller p(L"", &w, 1.0f, 0.0f, MakeEasingCurve(GetParam()), 0, {{&f, velocity}});
        for (float x : {1.0f, 1e10f, 1e20f, 1e30f, 1e38f, std::numeric_limits<float>::max()}) {
            p.Update(x);
            ASSERT_TRUE(std::isfinite(f)) << "velocity " << velocity << ", after " << x << ": " << f;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, PropellerCurveTest,
                         ::testing::Values(L"linear", L"in_quad", L"in_cubic", L"in_quart", L"in_quint", L"in_sine",
                                           L"in_expo", L"in_circ", L"in_elastic", L"in_back", L"in_bounce",
                                           L"out_quint", L"in_out_cubic", L"out_in_quad", L"t * t * t"),
                         [](const auto& info) {
                             std::string name;
                             for (const wchar_t* c = info.param; *c; ++c)
                                 name += std::iswalnum(*c) ? static_cast<char>(*c) : '_';
                             return name;
                         });

// A curve far outside 0..1 (a script's "accel" of 1e38) takes the eased sum
// past the float range: the field holds the largest float of its sign.
TEST(TweenerTest, ASumPastTheFloatRangeHoldsTheLargestFloatOfItsSign) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float f = 0.0f;
    Tweener t(L"", &w, 2.0f, std::make_unique<InBack>(1e38f), 0, {{&f, 0.0f, 1e10f}}, 0.0f);
    t.Update(1.0f);  // InBack(0.5) = -0.125 x 1e38 - 0.125: times 1e10, far below the range
    EXPECT_EQ(f, -std::numeric_limits<float>::max());
}

}  // namespace
