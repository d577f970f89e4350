// Circler, Shearer and Binder against their update rules, and the names
// generated for unnamed controllers, oscillations and clamps.

#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <limits>
#include <numbers>

#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/motion/controller_binder.h"
#include "widgets/motion/controller_circler.h"
#include "widgets/motion/controller_propeller.h"
#include "widgets/motion/controller_shearer.h"

namespace {

TEST(CirclerTest, PositionsLieOnTheCircleAtTheCurvedAngle) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float x = 50.0f + 10.0f, y = 20.0f;
    Circler c(L"", &x, &y, 50, 20, 90.0f, 4.0f, nullptr, &w, 0);
    EXPECT_FLOAT_EQ(c.GetRadius(), 10.0f);
    for (int i = 1; i <= 4; ++i) {
        const bool done = c.Update(1.0f);
        EXPECT_EQ(done, i == 4);
        // Counter-clockwise on a y-down screen: y falls as the angle grows.
        const double theta = 90.0 * i / 4 * std::numbers::pi / 180.0;
        EXPECT_NEAR(x, 50.0 + 10.0 * std::cos(theta), 1e-3);
        EXPECT_NEAR(y, 20.0 - 10.0 * std::sin(theta), 1e-3);
        EXPECT_NEAR(std::hypot(x - 50.0, y - 20.0), 10.0, 1e-3);
    }
    EXPECT_NEAR(x, 50.0f, 1e-3f);
    EXPECT_NEAR(y, 10.0f, 1e-3f);
}

TEST(CirclerTest, StartsFromThePresentDirectionAndZeroDurationIsOneUnit) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float x = 0.0f, y = 5.0f;  // straight below the centre: -90 degrees on screen
    Circler c(L"", &x, &y, 0, 0, -90.0f, 0.0f, nullptr, &w, 0);
    EXPECT_NEAR(c.GetStartAngle(), -90.0f, 1e-3f);
    EXPECT_FALSE(c.Update(0.5f));
    EXPECT_NEAR(x, 5.0 * std::cos(135.0 * std::numbers::pi / 180.0), 1e-3);
    EXPECT_NEAR(y, 5.0 * std::sin(135.0 * std::numbers::pi / 180.0), 1e-3);
    EXPECT_TRUE(c.Update(0.5f));
    EXPECT_NEAR(x, -5.0f, 1e-3f);
    EXPECT_NEAR(y, 0.0f, 1e-3f);
}

TEST(CirclerTest, DurationTooShortForItsRateFinishesAtTheFirstUpdateWithoutNan) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float x = 5.0f, y = 0.0f;
    Circler c(L"", &x, &y, 0, 0, 90.0f, 1e-40f, nullptr, &w, 0);
    EXPECT_FALSE(c.Update(0.0f));
    EXPECT_NEAR(x, 5.0f, 1e-3f);
    EXPECT_NEAR(y, 0.0f, 1e-3f);
    EXPECT_TRUE(c.Update(0.25f));
    EXPECT_NEAR(x, 0.0f, 1e-3f);
    EXPECT_NEAR(y, -5.0f, 1e-3f);
}

// An eased angle past the float range (a curve far outside 0..1) still
// names a point on the circle; so does a radius whose square overflows.
TEST(CirclerTest, AnglesAndRadiiPastTheFloatRangeStayOnTheCircle) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float x = 10.0f, y = 0.0f;
    Circler c(L"", &x, &y, 0, 0, 90.0f, 2.0f, std::make_unique<InBack>(1e38f), &w, 0);
    c.Update(1.0f);
    ASSERT_TRUE(std::isfinite(x) && std::isfinite(y)) << x << ", " << y;
    EXPECT_NEAR(std::hypot(x, y), 10.0, 1e-3);

    float far = 1e30f, level = 0.0f;
    Circler wide(L"", &far, &level, 0, 0, 90.0f, 2.0f, nullptr, &w, 0);
    EXPECT_FLOAT_EQ(wide.GetRadius(), 1e30f);
    wide.Update(1.0f);  // half way: 45 degrees
    EXPECT_FLOAT_EQ(far, 1e30f * static_cast<float>(std::cos(std::numbers::pi / 4)));
    EXPECT_FLOAT_EQ(level, -1e30f * static_cast<float>(std::sin(std::numbers::pi / 4)));
}

struct ShearFields {
    float sx = 0.0f, sy = 0.0f, ox = 0.0f, oy = 0.0f;
    Shearer::Fields Fields() { return {&sx, &sy, &ox, &oy}; }
};

TEST(ShearerTest, SpeedZeroSetsTheShearAndOffsetsAtOnce) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    ShearFields f;
    f.sy = 0.4f;
    Shearer s(L"", &w, 0, f.Fields(), 0.3f, 268435456.0f, -8.0f, 6.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(f.sx, 0.3f);
    EXPECT_EQ(f.sy, 0.4f);  // absent target keeps the present shear
    EXPECT_EQ(f.ox, -8.0f);
    EXPECT_EQ(f.oy, 6.0f);
    EXPECT_TRUE(s.Update(1.0f));
}

TEST(ShearerTest, ConstantSpeedAlongTheLineStopsAtTheTarget) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    ShearFields f;
    Shearer s(L"", &w, 0, f.Fields(), 12.0f, -16.0f, 0.0f, 0.0f, 5.0f, 0.0f, 1.0f);
    // Direction (12, -16) / 20 at speed 5.
    EXPECT_EQ(s.GetVelocityX(), 3.0f);
    EXPECT_EQ(s.GetVelocityY(), -4.0f);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_FALSE(s.Update(1.0f));
        EXPECT_EQ(f.sx, 3.0f * static_cast<float>(i));
        EXPECT_EQ(f.sy, -4.0f * static_cast<float>(i));
    }
    // x stops on reaching its target; y moving down stops only once past it.
    EXPECT_FALSE(s.Update(1.0f));
    EXPECT_EQ(f.sx, 12.0f);
    EXPECT_EQ(s.GetVelocityX(), 0.0f);
    EXPECT_EQ(f.sy, -16.0f);
    EXPECT_TRUE(s.Update(1.0f));
    EXPECT_EQ(f.sx, 12.0f);
    EXPECT_EQ(f.sy, -16.0f);
}

TEST(ShearerTest, AccelerationBuildsUpToTheTopVelocity) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    ShearFields f;
    Shearer s(L"", &w, 0, f.Fields(), 100.0f, 0.0f, 0.0f, 0.0f, 2.0f, 0.5f, 1.0f);
    EXPECT_EQ(s.GetVelocityX(), 0.0f);
    EXPECT_FLOAT_EQ(s.GetMaxVelocityX(), 2.0f);
    float v = 0.0f, sx = 0.0f;
    for (int i = 0; i < 6; ++i) {
        s.Update(1.0f);
        v = std::min(v + 0.5f, 2.0f);
        sx += v;
        EXPECT_FLOAT_EQ(s.GetVelocityX(), v);
        EXPECT_FLOAT_EQ(f.sx, sx);
    }
}

TEST(ShearerTest, DecayHalvesAVelocityPerUpdateUntilItVanishes) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    ShearFields f;
    // Far target: the decay, not the target, ends the motion.
    Shearer s(L"", &w, 0, f.Fields(), 1000.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.5f);
    float v = 1.0f, sx = 0.0f;
    bool done = false;
    int updates = 0;
    while (!done && updates < 100) {
        done = s.Update(2.0f);
        ++updates;
        v *= 0.5f;  // once per update, whatever the elapsed time
        if (v < 0.0001f) v = 0.0f;
        sx += 2.0f * v;
        EXPECT_FLOAT_EQ(s.GetVelocityX(), v);
        EXPECT_FLOAT_EQ(f.sx, sx);
    }
    EXPECT_TRUE(done);
    EXPECT_EQ(updates, 14);  // 0.5^14 is the first power below 0.0001
}

TEST(ShearerTest, NoDistanceAndNegativeSpeedAreSafe) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    ShearFields f;
    f.sx = 0.2f;
    Shearer still(L"", &w, 0, f.Fields(), 0.2f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_TRUE(still.Update(1.0f));
    EXPECT_EQ(f.sx, 0.2f);
    Shearer slow(L"", &w, 0, f.Fields(), 1.2f, 0.0f, 0.0f, 0.0f, -5.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(slow.GetVelocityX(), 0.01f);
}

// Speeds, accelerations and decays come from scripts as any float. None of
// them may put infinity or NaN into the shear, and the shearer still ends.
TEST(ShearerTest, SpeedsAccelerationsAndDecaysOfAnyValueWriteOnlyFiniteShears) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    struct Motion {
        float speed, acceleration, decay;
    };
    for (Motion m : {Motion{inf, 0.0f, 1.0f}, Motion{nan, 0.0f, 1.0f}, Motion{1.0f, inf, 1.0f}, Motion{1.0f, nan, 1.0f},
                     Motion{1.0f, 0.0f, nan}, Motion{1e38f, 0.0f, 1e38f}}) {
        ShearFields f;
        Shearer s(L"", &w, 0, f.Fields(), 3.0f, 0.0f, 0.0f, 0.0f, m.speed, m.acceleration, m.decay);
        bool done = false;
        for (int i = 0; i < 1000 && !done; ++i) {
            done = s.Update(i % 2 == 0 ? 0.0f : 1.0f);  // updates of no time too
            ASSERT_TRUE(std::isfinite(f.sx) && std::isfinite(f.sy))
                << m.speed << " " << m.acceleration << " " << m.decay << ": " << f.sx << ", " << f.sy;
        }
        EXPECT_TRUE(done) << m.speed << " " << m.acceleration << " " << m.decay;
        EXPECT_EQ(f.sx, 3.0f);
        EXPECT_EQ(f.sy, 0.0f);
    }
}

TEST(BinderTest, WritesEachExpressionWithTheTimeSinceItStarted) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    VariableMap source{{L"base", PropertyValue(40.0f)}};
    float a = 0.0f, b = 0.0f;
    Binder binder(L"", &w, &source, 0,
                  {{&a, L"base + realptr(time_ptr) * 2"}, {&b, L"sqrt(0 - 1 - realptr(time_ptr))"}});
    b = 9.0f;
    source[L"base"] = PropertyValue(0.0f);  // the binder keeps its own copy
    float time = 0.0f;
    for (float step : {0.5f, 1.5f, 3.0f}) {
        EXPECT_FALSE(binder.Update(step));
        time += step;
        EXPECT_FLOAT_EQ(a, 40.0f + time * 2.0f);
        EXPECT_EQ(b, 9.0f);  // not a number: the field keeps its value
    }
    EXPECT_EQ(w.GetControllerCount(), 0);
}

// The number behind a generated name, or -1 when it is not `prefix` + digits.
int NameNumber(const std::wstring& name, std::wstring_view prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    for (size_t i = prefix.size(); i < name.size(); ++i)
        if (!std::iswdigit(name[i])) return -1;
    return static_cast<int>(std::wcstol(name.c_str() + prefix.size(), nullptr, 10));
}

TEST(GeneratedNamesTest, EachKindCountsItsUnnamedObjectsInOrder) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    float f = 0.0f;
    Tweener first(L"", &w, 1.0f, nullptr, 0, {}, 0.0f);
    Oscillation o1(L"", &w, 1.0f, 0.0, nullptr, 0, {});
    Propeller second(L"", &w, 1.0f, 0.0f, nullptr, 0, {});
    Tweener named(L"mine", &w, 1.0f, nullptr, 0, {{&f, 0.0f, 1.0f}}, 0.0f);
    Clamp c1(L"", &w, {});
    Oscillation o2(L"", &w, 1.0f, 0.0, nullptr, 0, {});
    Clamp c2(L"", &w, {});
    EXPECT_EQ(named.GetName(), L"mine");
    const int n = NameNumber(first.GetName(), L"controller");
    ASSERT_GE(n, 0) << "name " << testing::PrintToString(first.GetName());
    EXPECT_EQ(NameNumber(second.GetName(), L"controller"), n + 1);
    const int on = NameNumber(o1.GetName(), L"oscillation");
    ASSERT_GE(on, 0);
    EXPECT_EQ(NameNumber(o2.GetName(), L"oscillation"), on + 1);
    const int cn = NameNumber(c1.GetName(), L"clamp");
    ASSERT_GE(cn, 0);
    EXPECT_EQ(NameNumber(c2.GetName(), L"clamp"), cn + 1);
}

}  // namespace
