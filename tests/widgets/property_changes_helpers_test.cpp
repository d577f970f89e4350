// The helpers that start timed changes on a dynamic widget: the frame
// cross-fade, oscillate with its start phases, arc, circle and shear, and
// controllers that stop changes from inside their own update.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include "dynamic_widget_test_support.h"
#include "widgets/motion/controller_propeller.h"

namespace {

class SquareFade : public EasingCurve {
public:
    float Evaluate(float t) override { return t * t; }
};

// A curve that counts its own destruction.
class CountedCurve : public Linear {
public:
    explicit CountedCurve(int* deleted) : deleted_(deleted) {}
    ~CountedCurve() override { ++*deleted_; }

private:
    int* deleted_;
};

TEST(FadeToFrameTest, CrossFadesFromThePreviousFrameOverTheTime) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.SetFrame(2);
    w.FadeToFrame(5, 4.0f, std::make_unique<SquareFade>());
    EXPECT_EQ(w.GetFrame(), 5);
    EXPECT_EQ(w.GetPreviousFrame(), 2);
    EXPECT_EQ(w.GetFadeFraction(), 1.0f);
    EXPECT_TRUE(w.IsAnimating());
    float progress = 0.0f;
    for (int i = 0; i < 3; ++i) {
        w.UpdateFraction(1.0f);
        progress += 0.25f;
        const float c = progress * progress;
        EXPECT_FLOAT_EQ(w.GetFadeFraction(), 0.0f * c + 1.0f * (1.0f - c));
    }
    w.UpdateFraction(1.0f);
    EXPECT_EQ(w.GetFadeFraction(), 0.0f);
    EXPECT_FALSE(w.IsAnimating());
    EXPECT_TRUE(w.GetControllers().empty());
}

TEST(FadeToFrameTest, ToTheCurrentFrameDoesNothingAndFreesTheCurve) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.SetFrame(3);
    int deleted = 0;
    w.FadeToFrame(3, 4.0f, std::make_unique<CountedCurve>(&deleted));
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(w.GetFadeFraction(), 0.0f);
    EXPECT_TRUE(w.GetControllers().empty());
}

TEST(FadeToFrameTest, RegressionANewFadeReplacesTheOneStillRunning) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.FadeToFrame(1, 10.0f);
    w.UpdateFraction(5.0f);
    w.FadeToFrame(2, 2.0f);
    EXPECT_EQ(w.GetControllers().size(), 1u);
    EXPECT_EQ(w.GetControllerCount(), 1);
    w.UpdateFraction(1.0f);
    EXPECT_FLOAT_EQ(w.GetFadeFraction(), 0.5f);
    // Setting a frame ends the fade for good.
    w.SetFrame(0);
    w.UpdateFraction(0.5f);
    EXPECT_EQ(w.GetFadeFraction(), 0.0f);
    EXPECT_FALSE(w.IsAnimating());
}

TEST(FadeToFrameTest, FrameCyclingWithACrossFadeTimeFadesEachChange) {
    auto image = testsupport::SolidImage(32, 8, 0xFFFFFFFF, 1, 4);
    DynamicWidget w(0, 0, image.get(), 1.0f);
    w.CycleFrames(0, 2.0f, 0, 0.0f, 0, 3, 1.0f, 1);
    w.UpdateFraction(2.0f);  // the frame advances, and the fade starts
    EXPECT_EQ(w.GetFrame(), 1);
    EXPECT_EQ(w.GetPreviousFrame(), 0);
    EXPECT_EQ(w.GetFadeFraction(), 1.0f);
    w.UpdateFraction(0.5f);
    EXPECT_FLOAT_EQ(w.GetFadeFraction(), 0.5f);
}

TEST(OscillateTest, StartPhasesByNameAndNumber) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.Oscillate(L"top", L"x", 3.0f, 8.0f, PropertyValue(std::wstring(L"top")), nullptr);
    EXPECT_FLOAT_EQ(w.GetX(), 3.0f);  // sin(2 pi 0.25)
    w.Oscillate(L"bottom", L"y", 3.0f, 8.0f, PropertyValue(std::wstring(L"bottom")), nullptr);
    EXPECT_FLOAT_EQ(w.GetY(), -3.0f);
    w.Oscillate(L"num", L"angle", 2.0f, 8.0f, PropertyValue(0.125f), nullptr);
    EXPECT_NEAR(w.angle, 2.0 * std::sin(2.0 * std::numbers::pi * 0.125), 1e-5);
    w.Oscillate(L"other", L"scale_x", 2.0f, 8.0f, PropertyValue(std::wstring(L"sideways")), nullptr);
    EXPECT_EQ(w.scale_x, 1.0f);  // phase 0: sin 0
    w.Oscillate(L"random", L"scale_y", 2.0f, 8.0f, PropertyValue(std::wstring(L"random")), nullptr);
    EXPECT_LE(std::fabs(w.scale_y - 1.0f), 2.0f);
    w.Oscillate(L"none", L"no_such", 2.0f, 8.0f, PropertyValue(0.0f), nullptr);
    EXPECT_EQ(w.GetOscillations().size(), 5u);
    // One update of 2 units at a period of 8: the top phase moves to 0.5.
    w.UpdateFraction(2.0f);
    EXPECT_NEAR(w.GetX(), 0.0f, 1e-5f);
    w.StopOscillations(true);
    EXPECT_NEAR(w.GetX(), 0.0f, 1e-6f);
    EXPECT_NEAR(w.GetY(), 0.0f, 1e-6f);
    EXPECT_NEAR(w.angle, 0.0f, 1e-6f);
}

TEST(OscillateTest, AChangeStartsFromTheBaseValueNotTheDisplacedOne) {
    DynamicWidget w(0, 0, nullptr, 1.0f);
    w.Oscillate(L"o", L"x", 10.0f, 4.0f, PropertyValue(std::wstring(L"top")), nullptr);
    w.TweenProperty(L"t", L"x", 20.0f, 2.0f, nullptr, false);
    EXPECT_FLOAT_EQ(w.GetX(), 10.0f);  // no jump when the change is made
    w.UpdateFraction(1.0f);            // base 10; phase 0.5 adds 0
    EXPECT_NEAR(w.GetX(), 10.0f, 1e-4f);
}

TEST(ArcTest, JumpsAlongAParabolaThroughTheApex) {
    DynamicWidget w(10, 100, nullptr, 1.0f);
    w.Arc(50, 100, 40, 40, 10);  // level start and end: the start moves to 99
    ASSERT_EQ(w.GetControllers().size(), 2u);
    // Apex: the larger of 99 + 40 and 100 + 40 = 140 (y grows downwards).
    const float y0 = 99.0f, ey = 100.0f, p = (140.0f - y0) / (ey - y0);
    float s = p / (2.0f * p - 1.0f), a = 0.0f, b = 0.0f;
    for (int i = 0; i <= 8; ++i) {
        const float d = s * (1.0f - s);
        a = (s - p) / d;
        b = (p - s * s) / d;
        if (i < 8) s = (s - b / (2.0f * a)) * 0.5f;
    }
    for (int i = 1; i <= 10; ++i) {
        w.UpdateFraction(1.0f);
        const float t = 0.1f * static_cast<float>(i);
        const float c = a * t * t + b * t;
        EXPECT_NEAR(w.GetX(), 10.0f + 40.0f * t, 1e-3f);
        EXPECT_NEAR(w.GetY(), ey * c + y0 * (1.0f - c), 1e-2f);
    }
    EXPECT_NEAR(w.GetY(), 100.0f, 1e-3f);
    EXPECT_TRUE(w.GetControllers().empty());
    w.Arc(0, 0, 0, 10, 10);
    w.Arc(0, 0, 10, 10, 0);
    EXPECT_TRUE(w.GetControllers().empty());
}

TEST(CircleAndShearTest, HelpersDriveTheWidgetsOwnFields) {
    DynamicWidget w(20, 0, nullptr, 1.0f);
    w.Circle(L"orbit", 2.0f, 180.0f, 0, 0, nullptr);
    w.UpdateFraction(1.0f);
    EXPECT_NEAR(w.GetX(), 0.0f, 1e-3f);
    EXPECT_NEAR(w.GetY(), -20.0f, 1e-3f);
    w.UpdateFraction(1.0f);
    EXPECT_NEAR(w.GetX(), -20.0f, 1e-3f);
    EXPECT_FALSE(w.IsAnimating());

    w.Shear(L"lean", 0.5f, 268435456.0f, 3.0f, -4.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(w.shear_x, 0.5f);
    EXPECT_EQ(w.shear_y, 0.0f);
    EXPECT_EQ(w.shear_x_offset, 3.0f);
    EXPECT_EQ(w.shear_y_offset, -4.0f);
    w.UpdateFraction(1.0f);
    EXPECT_TRUE(w.GetControllers().empty());
}

// Stops every change, itself included, from inside its own update.
class StopAll : public Controller {
public:
    StopAll(DynamicWidget* w, int* destroyed) : Controller(L"m_stop", w, nullptr, true, 0), destroyed_(destroyed) {}
    ~StopAll() override { ++*destroyed_; }
    bool Update(float) override {
        widget_->StopChanges();
        widget_->TweenProperty(L"b_after", L"x", 5.0f, 1.0f, nullptr, false);
        return true;
    }

private:
    int* destroyed_;
};

TEST(StopInsideUpdateTest, RegressionAControllerStoppingChangesFromItsUpdateIsNotDestroyedUnderIt) {
    auto w = std::make_unique<DynamicWidget>(0, 0, nullptr, 1.0f);
    int destroyed = 0;
    w->TweenProperty(L"a_first", L"y", 10.0f, 10.0f, nullptr, false);
    w->AddController(std::make_unique<StopAll>(w.get(), &destroyed));
    w->TweenProperty(L"n_next", L"angle", 10.0f, 10.0f, nullptr, false);
    w->UpdateFraction(1.0f);
    EXPECT_EQ(destroyed, 1);
    EXPECT_FLOAT_EQ(w->GetY(), 1.0f);  // ran before the stop
    EXPECT_EQ(w->angle, 0.0f);         // stopped before its turn
    // The change made during the pass (sorting before it) survives it.
    EXPECT_EQ(w->GetX(), 0.0f);
    ASSERT_EQ(w->GetControllers().size(), 1u);
    EXPECT_EQ(w->GetControllers().begin()->first, L"b_after");
    EXPECT_EQ(w->GetControllerCount(), 1);
    w->UpdateFraction(1.0f);
    EXPECT_FLOAT_EQ(w->GetX(), 5.0f);
    EXPECT_EQ(w->GetControllerCount(), 0);
}

// The controller pass as it was before the first controller was kept
// beside the map, as the reference: every entry followed through the map.
class ReferencePass : public DynamicWidget {
public:
    ReferencePass() : DynamicWidget(0, 0, nullptr, 1.0f) {}
    void Pass(bool reference) {
        if (!reference) return UpdateControllers(1.0f);
        if (controllers_.empty()) return;
        updatingControllers_ = true;
        for (auto it = controllers_.begin(); it != controllers_.end(); ++it)
            if (Controller* c = it->second.get(); c && c->Update(1.0f) && it->second.get() == c) {
                NoteEntry(ControllerName::NumberOf(it->first), nullptr);
                retired_.push_back(std::move(it->second));
            }
        updatingControllers_ = false;
        std::erase_if(controllers_, [](const auto& entry) { return !entry.second; });
        retired_.clear();
    }
    std::mt19937 rng{0};
    std::wstring log;
};

// Logs its turns and, by the widget's dice, adds, replaces or stops
// controllers (itself too) from inside its update, or finishes.
class Dice : public Controller {
public:
    Dice(std::wstring name, ReferencePass* w) : Controller(std::move(name), w, nullptr, true, 0), w_(w) {}
    bool Update(float) override {
        w_->log += name_ + L";";
        const std::wstring other(1, static_cast<wchar_t>(L'a' + w_->rng() % 4));
        switch (w_->rng() % 6) {
            case 0: w_->AddController(std::make_unique<Dice>(other, w_)); break;
            case 1: w_->StopController(other); break;
            case 2:
                if (w_->rng() % 8 == 0) w_->StopChanges();
                break;
        }
        return w_->rng() % 5 == 0;
    }

private:
    ReferencePass* w_;
};

TEST(ControllerPassTest, KeptFirstControllerPassMatchesTheMapWalkUnderRandomChanges) {
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        ReferencePass kept, reference;
        for (ReferencePass* w : {&kept, &reference}) {
            w->rng.seed(seed);
            for (uint32_t i = 0, n = seed % 4; i < n; ++i)
                w->AddController(
                    std::make_unique<Dice>(std::wstring(1, static_cast<wchar_t>(L'a' + (seed + i) % 4)), w));
            for (int pass = 0; pass < 12; ++pass) w->Pass(w == &reference), w->log += L"|";
        }
        ASSERT_EQ(kept.log, reference.log) << seed;
        ASSERT_EQ(kept.GetControllerCount(), reference.GetControllerCount()) << seed;
    }
}

}  // namespace
