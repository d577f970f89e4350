// What the upper layers ask of timed changes: tweens by curve name with a
// delay, counting and stopping them by name, the clock rate that freezes
// motion, the frame-changed flag; and the elastic curve's parameter names.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/easing_test_support.h"
#include "widgets/motion/controller_name.h"
#include "widgets/motion/easing_factory.h"

namespace {

TEST(TweenByNameTest, PairWaitsOutItsDelayThenFollowsTheNamedCurve) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.TweenPropertyPair(L"path", L"x", L"y", 100.0f, 50.0f, 10.0f, L"in_quad", 4.0f);
    w.UpdateFraction(2.0f);
    w.UpdateFraction(1.5f);
    EXPECT_EQ(w.GetX(), 0.0f);
    w.UpdateFraction(1.5f);  // one unit past the delay: progress 0.1
    EXPECT_NEAR(w.GetX(), 100.0 * 0.1 * 0.1, 1e-4);
    EXPECT_NEAR(w.GetY(), 50.0 * 0.1 * 0.1, 1e-4);
    for (int i = 0; i < 9; ++i) w.UpdateFraction(1.0f);
    EXPECT_NEAR(w.GetX(), 100.0f, 1e-4);
    EXPECT_EQ(w.CountTweens(L"path"), 0);  // finished tweens are gone
}

TEST(TweenByNameTest, CountAndStopSeeOnlyTweensOfThatName) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.TweenProperty(L"fade", L"opacity", 0.0f, 10.0f, L"", false);
    w.AddController(std::make_unique<testsupport::StepController>(L"spin", &w, &w.angle, 1.0f, 100.0f));
    EXPECT_EQ(w.CountTweens(L"fade"), 1);
    EXPECT_EQ(w.CountTweens(L"spin"), 0);
    w.UpdateFraction(5.0f);
    EXPECT_NEAR(w.opacity, 0.5f, 1e-5);
    w.StopTweens(L"fade");
    w.StopTweens(L"spin");
    EXPECT_EQ(w.CountTweens(L"fade"), 0);
    EXPECT_EQ(w.GetControllers().count(L"spin"), 1u);
    w.UpdateFraction(5.0f);
    EXPECT_NEAR(w.opacity, 0.5f, 1e-5);  // stopped where it was
}

TEST(TweenByNameTest, ClockRateScalesMotionAndZeroFreezesIt) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.TweenProperty(L"move", L"x", 40.0f, 40.0f, L"linear", false);
    w.SetClockRate(0.0f);
    w.UpdateFraction(10.0f);
    EXPECT_EQ(w.GetX(), 0.0f);
    EXPECT_EQ(w.clock, 0.0f);
    w.SetClockRate(0.5f);
    w.UpdateFraction(10.0f);
    EXPECT_NEAR(w.GetX(), 5.0f, 1e-4);
    EXPECT_NEAR(w.clock, 5.0f, 1e-5);
}

TEST(TweenByNameTest, FrameChangedFlagFollowsRealChangesOnly) {
    auto image = testsupport::SolidImage(8, 2, 0xFFFFFFFF, 1, 4);
    DynamicWidget w(0, 0, image.get(), 1.0f);
    w.SetFrame(0);
    EXPECT_FALSE(w.IsFrameChanged());
    w.SetFrame(2);
    EXPECT_TRUE(w.IsFrameChanged());
    w.SetFrameChanged(false);
    w.CycleFrames(0, 1.0f, 0, 0.0f, 0, 3, 0.0f, 1);
    w.UpdateFraction(1.0f);
    EXPECT_TRUE(w.IsFrameChanged());
}

// Starts a tween under one name, or stops another, from inside the update pass.
class Meddler : public Controller {
public:
    Meddler(std::wstring name, DynamicWidget* w, std::wstring other, bool start)
        : Controller(std::move(name), w, nullptr, false, 0), other_(std::move(other)), start_(start) {}
    bool Update(float) override {
        if (start_)
            widget_->TweenProperty(other_, L"y", 9.0f, 2.0f, L"", false);
        else
            widget_->StopController(other_);
        return true;
    }

private:
    std::wstring other_;
    bool start_;
};

// The kept bits against the search of the map by text, under random starts,
// replacements by other kinds, stops, finishes and meddling inside passes;
// one name is numbered only once controllers of that name exist.
TEST(TweenByNameTest, NumberedNamesAnswerAsTheSearchByText) {
    const std::vector<std::wstring> texts{L"tn_a", L"tn_b", L"tn_c", L"tn_late"};
    std::vector<ControllerName> names{ControllerName(texts[0]), ControllerName(texts[1]), ControllerName(texts[2])};
    std::mt19937 rng(7);
    std::vector<std::unique_ptr<DynamicWidget>> widgets;
    for (int i = 0; i < 3; ++i) widgets.push_back(std::make_unique<DynamicWidget>(0, 0, nullptr, 1.0f));
    for (int op = 0; op < 3000; ++op) {
        if (op == 1500) names.emplace_back(texts[3]);
        DynamicWidget& w = *widgets[rng() % widgets.size()];
        const std::wstring& name = texts[rng() % texts.size()];
        const std::wstring& other = texts[rng() % texts.size()];
        const float time = static_cast<float>(rng() % 4);
        switch (rng() % 8) {
            case 0:
            case 1: w.TweenProperty(name, L"x", 5.0f, time, L"", false); break;
            case 2: w.Circle(name, time + 1.0f, 90.0f, 3, 3, nullptr); break;
            case 3: w.StopController(name); break;
            case 4: w.StopTweens(name); break;
            case 5: w.AddController(std::make_unique<Meddler>(name, &w, other, rng() % 2 == 0)); break;
            case 6: w.UpdateFraction(static_cast<float>(rng() % 3)); break;
            default:
                if (rng() % 10 == 0) w.StopChanges();
        }
        for (const auto& v : widgets)
            for (const ControllerName& n : names) ASSERT_EQ(v->CountTweens(n), v->CountTweens(n.Text())) << op;
    }
}

// The two parameter names of the elastic curve: "base" is the exponential
// base (default 10000) and "fraction" the shaking share (default 1).
TEST(TweenByNameTest, ElasticBaseIsTheExponentialBaseAndFractionTheShakingShare) {
    testsupport::FakeCurveSource step;
    const float frequency = 5 * 2.5f * kCurvePi;
    auto defaults = MakeEasingCurve(L"in_elastic", &step);
    InElastic expectedDefaults(10000.0f, frequency, 1.0f);
    step.attributes[L"base"] = PropertyValue(50.0f);
    step.attributes[L"fraction"] = PropertyValue(0.25f);
    auto given = MakeEasingCurve(L"in_elastic", &step);
    InElastic expectedGiven(50.0f, frequency, 0.25f);
    for (float t : {0.1f, 0.35f, 0.6f, 0.9f}) {
        EXPECT_FLOAT_EQ(defaults->Evaluate(t), expectedDefaults.Evaluate(t)) << t;
        EXPECT_FLOAT_EQ(given->Evaluate(t), expectedGiven.Evaluate(t)) << t;
    }
}

}  // namespace
