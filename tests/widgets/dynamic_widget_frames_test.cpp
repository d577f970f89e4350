// Time on a dynamic widget: frame animators, blinking, controllers and the
// offsets of oscillations and clamps around them, and the when-done actions.

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <set>
#include <utility>

#include "dynamic_widget_test_support.h"
#include "widget_test_support.h"

using namespace testsupport;

namespace {

class FramesTest : public ::testing::Test {
protected:
    // A widget on an image of 8 cels (2 rows of 4), in the managed tree.
    DynamicWidget* AddWidget() {
        auto* w = new DynamicWidget(0, 0, image.get(), 1.0f);
        mgr.AddWidget(w);
        return w;
    }
    // The frames shown after each of `steps` updates of one period each.
    static std::vector<int> Run(DynamicWidget* w, int steps, float period = 1.0f) {
        std::vector<int> frames;
        for (int i = 0; i < steps; ++i) {
            w->UpdateFraction(period);
            frames.push_back(w->GetFrame());
        }
        return frames;
    }

    std::unique_ptr<ImageSurface> image = testsupport::SolidImage(64, 32, 0xFFFFFFFF, 2, 4);
    FakeHost host;
    WidgetManager mgr;
};

TEST_F(FramesTest, ForwardCyclesRunTheirCountAndStopOnTheLastFrame) {
    DynamicWidget* w = AddWidget();
    EXPECT_EQ(w->GetWidth(), 16);
    EXPECT_EQ(w->GetHeight(), 16);
    w->CycleFrames(0, 1.0f, 2, 0.0f, 0, 3, 0.0f, 1);
    EXPECT_TRUE(w->IsAnimating());
    // Frame 0 shows first; seven steps show the rest of 0,1,2,3,0,1,2,3.
    EXPECT_EQ(Run(w, 9), (std::vector<int>{1, 2, 3, 0, 1, 2, 3, 3, 3}));
    EXPECT_FALSE(w->IsAnimating());
    EXPECT_EQ(w->GetAnimator(0).period, 0.0f);
}

TEST_F(FramesTest, BackAndForthTurnsAtTheEndsAndOneCycleStopsAtTheTop) {
    DynamicWidget* w = AddWidget();
    w->CycleFrames(0, 2.0f, 0, 0.0f, 1, 3, 0.0f, 0);
    // Unlimited: 1,2,3,2,1,2,... one frame per two units.
    w->SetFrame(1);
    EXPECT_EQ(Run(w, 12), (std::vector<int>{1, 2, 2, 3, 3, 2, 2, 1, 1, 2, 2, 3}));
    DynamicWidget* once = AddWidget();
    once->CycleFrames(0, 1.0f, 1, 0.0f, 0, 3, 0.0f, 0);
    EXPECT_EQ(Run(once, 5), (std::vector<int>{1, 2, 3, 3, 3}));
    EXPECT_FALSE(once->IsAnimating());
}

TEST_F(FramesTest, BackwardCyclesAndANegativeHighestCountingFromTheEnd) {
    DynamicWidget* w = AddWidget();
    w->CycleFrames(0, 1.0f, 1, 0.0f, 4, -1, 0.0f, -1);  // highest: 8 - 1 = 7
    EXPECT_EQ(w->GetAnimator(0).highest, 7);
    w->SetFrame(7);
    EXPECT_EQ(Run(w, 5), (std::vector<int>{6, 5, 4, 4, 4}));
}

TEST_F(FramesTest, SeveralPeriodsInOneFrameAdvanceSeveralFrames) {
    DynamicWidget* w = AddWidget();
    w->CycleFrames(0, 0.5f, 0, 0.0f, 0, 7, 0.0f, 1);
    w->UpdateFraction(1.75f);  // three whole periods, a quarter left over
    EXPECT_EQ(w->GetFrame(), 3);
    EXPECT_FLOAT_EQ(w->GetAnimator(0).timer, 0.25f);
}

// Subtracting a period of 1 leaves a timer of 1e9 as it was, and a tiny
// period owes millions of steps: either used to hold the update for ever.
// Run in a child process with an alarm, so a hang fails instead of blocking.
TEST_F(FramesTest, AHugeTimerOrATinyPeriodEndsTheUpdate) {
    DynamicWidget* huge = AddWidget();
    huge->CycleFrames(0, 1.0f, 0, 1e9f, 0, 7, 0.0f, 1);
    DynamicWidget* tiny = AddWidget();
    tiny->CycleFrames(0, 1e-30f, 0, 0.0f, 0, 7, 0.0f, 0);
    ASSERT_EXIT(
        {
            alarm(10);
            huge->UpdateFraction(1.0f);
            tiny->UpdateFraction(1.0f);
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    // The time owed is used up rather than carried as a debt.
    huge->UpdateFraction(0.5f);
    EXPECT_LT(huge->GetAnimator(0).timer, 1.0f);
    tiny->UpdateFraction(1.0f);
    EXPECT_LT(tiny->GetAnimator(0).timer, 1e-30f);
    // A limited animation owed more than it has left still ends on its last frame.
    DynamicWidget* once = AddWidget();
    once->CycleFrames(0, 1e-30f, 2, 0.0f, 0, 3, 0.0f, 1);
    once->UpdateFraction(1.0f);
    EXPECT_EQ(once->GetFrame(), 3);
    EXPECT_FALSE(once->IsAnimating());
}

TEST_F(FramesTest, RandomModeNeverRepeatsAFrameAndStaysInRange) {
    DynamicWidget* w = AddWidget();
    w->CycleFrames(0, 1.0f, 0, 0.0f, 2, 5, 0.0f, 2);
    w->SetFrame(2);
    int previous = w->GetFrame();
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        w->UpdateFraction(1.0f);
        EXPECT_NE(w->GetFrame(), previous);
        EXPECT_GE(w->GetFrame(), 2);
        EXPECT_LE(w->GetFrame(), 5);
        previous = w->GetFrame();
        seen.insert(previous);
    }
    EXPECT_EQ(seen.size(), 4u);
}

// A random range of a single frame has no other frame to pick: it must not spin.
TEST_F(FramesTest, RandomModeOverOneFrameDoesNotHang) {
    DynamicWidget* w = AddWidget();
    w->CycleFrames(0, 1.0f, 0, 0.0f, 3, 3, 0.0f, 2);
    w->SetFrame(3);
    w->UpdateFraction(1.0f);
    EXPECT_EQ(w->GetFrame(), 3);
}

// Scripts may name any frame. The same animation moved up to end on the
// largest int shows the same frames moved up: one step past the largest
// frame used to overflow before it wrapped.
TEST_F(FramesTest, FramesAtTheEndsOfTheIntRangeStepWithoutOverflow) {
    constexpr int kShift = INT_MAX - 3;
    for (auto [mode, cycles] : {std::pair{1, 0}, {1, 2}, {0, 0}, {0, 1}}) {
        DynamicWidget* low = AddWidget();
        low->CycleFrames(0, 1.0f, cycles, 0.0f, 0, 3, 0.0f, mode);
        low->SetFrame(3);
        DynamicWidget* top = AddWidget();
        top->CycleFrames(0, 1.0f, cycles, 0.0f, kShift, INT_MAX, 0.0f, mode);
        top->SetFrame(INT_MAX);
        std::vector<int> shifted;
        for (int frame : Run(low, 10)) shifted.push_back(frame + kShift);
        EXPECT_EQ(Run(top, 10), shifted) << "mode " << mode << ", cycles " << cycles;
    }
    // Backward from the smallest int wraps to the highest frame, or, on its
    // last cycle, stays where it was.
    DynamicWidget* bottom = AddWidget();
    bottom->CycleFrames(0, 1.0f, 0, 0.0f, INT_MIN, 3, 0.0f, -1);
    bottom->SetFrame(INT_MIN);
    EXPECT_EQ(Run(bottom, 2), (std::vector<int>{3, 2}));
    bottom->CycleFrames(0, 1.0f, 1, 0.0f, INT_MIN, 3, 0.0f, -1);
    bottom->SetFrame(INT_MIN);
    EXPECT_EQ(Run(bottom, 2), (std::vector<int>{INT_MIN, INT_MIN}));
    // Random frames up to the largest int: both frames of the range show.
    DynamicWidget* random = AddWidget();
    random->CycleFrames(0, 1.0f, 0, 0.0f, INT_MAX - 1, INT_MAX, 0.0f, 2);
    random->SetFrame(INT_MAX);
    EXPECT_EQ(Run(random, 3), (std::vector<int>{INT_MAX - 1, INT_MAX, INT_MAX - 1}));
}

TEST_F(FramesTest, MaskAnimatorRunsBesideTheImageAnimator) {
    DynamicWidget* w = AddWidget();
    w->SetMask(image.get());
    w->CycleFrames(1, 1.0f, 0, 0.0f, 0, 7, 0.0f, 1);
    Run(w, 3);
    EXPECT_EQ(w->GetMaskFrame(), 3);
    EXPECT_EQ(w->GetFrame(), 0);
    uint32_t mask = 0;
    *w->GetPropertyPtr(L"mask_frame_rate", mask) = 0.0f;  // stops it
    Run(w, 3);
    EXPECT_EQ(w->GetMaskFrame(), 3);
}

TEST_F(FramesTest, SetImageKeepsAFrameTheNewImageHasAndResetsOneItLacks) {
    DynamicWidget* w = AddWidget();
    w->SetFrame(5);
    auto small = testsupport::SolidImage(30, 10, 0xFFFFFFFF, 1, 3);
    w->SetImage(small.get());
    EXPECT_EQ(w->GetFrame(), 0);
    EXPECT_EQ(w->GetWidth(), 10);
    w->SetFrame(2);
    w->SetImage(image.get());
    EXPECT_EQ(w->GetFrame(), 2);
}

TEST_F(FramesTest, FlashBlinksForItsCountThenStaysVisible) {
    DynamicWidget* w = AddWidget();
    w->Flash(2, 2, 0);  // two updates shown, two hidden, twice
    std::vector<bool> shown;
    for (int i = 0; i < 10; ++i) {
        w->Update();
        shown.push_back(w->IsVisible());
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, false, false, true, true, false, false, true, true, true}));
    EXPECT_FALSE(w->IsAnimating());
    w->Flash(3, 0, 4);  // a phase in the hidden half starts hidden
    EXPECT_FALSE(w->IsVisible());
}

// The step passes by the period of a widget that never flashed: one that
// has updated for a while, and whose step fetches nothing of its own, still
// blinks once told to, and stops when told to.
TEST_F(FramesTest, AWidgetUpdatedBeforeItFlashesStillBlinks) {
    DynamicWidget* w = AddWidget();
    for (int i = 0; i < 5; ++i) w->Update();
    EXPECT_TRUE(w->IsVisible());
    w->Flash(1, 0, 0);  // one update shown, one hidden, for ever
    std::vector<bool> shown;
    for (int i = 0; i < 4; ++i) {
        w->Update();
        shown.push_back(w->IsVisible());
    }
    EXPECT_EQ(shown, (std::vector<bool>{false, true, false, true}));
    w->Flash(0, 0, 0);
    w->Update();
    w->Update();
    EXPECT_TRUE(w->IsVisible());
}

TEST_F(FramesTest, FinishedControllersAreDestroyedAndTheCountFollows) {
    DynamicWidget* w = AddWidget();
    int destroyed = 0;
    uint32_t mask = 0;
    float* x = w->GetPropertyPtr(L"x", mask);
    w->AddController(std::make_unique<testsupport::StepController>(L"a", w, x, 1.0f, 2.0f, &destroyed));
    w->AddController(std::make_unique<testsupport::StepController>(L"b", w, &w->timer, 1.0f, 5.0f, &destroyed));
    EXPECT_EQ(w->GetControllerCount(), 2);
    w->UpdateFraction(1.0f);
    w->UpdateFraction(1.0f);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(w->GetControllers().count(L"a"), 0u);
    EXPECT_EQ(w->GetControllerCount(), 1);
    EXPECT_FLOAT_EQ(w->GetX(), 2.0f);
    EXPECT_FLOAT_EQ(w->last_x, 1.0f);  // the position before this frame moved it
    EXPECT_FLOAT_EQ(w->clock, 2.0f);
    w->StopChanges();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(w->GetControllerCount(), 0);
}

TEST_F(FramesTest, ControllersSeeFieldsWithoutOscillationAndClampOffsets) {
    DynamicWidget* w = AddWidget();
    w->AddController(std::make_unique<testsupport::StepController>(L"move", w, &w->angle, 10.0f, 100.0f));
    w->AddOscillation(std::make_unique<testsupport::ConstantOscillation>(L"wobble", &w->angle, 5.0f));
    w->AddClamp(std::make_unique<testsupport::RangeClamp>(L"limit", &w->angle, 0.0f, 22.0f));
    w->UpdateFraction(1.0f);
    EXPECT_FLOAT_EQ(w->angle, 15.0f);  // 10 moved, +5 wobble, under the clamp
    w->UpdateFraction(1.0f);
    EXPECT_FLOAT_EQ(w->angle, 22.0f);  // 20 + 5 clamped
    w->UpdateFraction(1.0f);
    EXPECT_FLOAT_EQ(w->angle, 22.0f);
    // Taking the offsets off reveals the controller's own value: 30.
    w->RemoveOffsets();
    EXPECT_FLOAT_EQ(w->angle, 30.0f);
    w->ApplyOffsets(0.0f);
    // Without the wobble the base value 30 is still above the clamp.
    w->StopOscillations(true);
    EXPECT_FLOAT_EQ(w->angle, 22.0f);
    w->StopClamps(true);
    EXPECT_FLOAT_EQ(w->angle, 30.0f);
}

TEST_F(FramesTest, DestroyingTheWidgetUndoesOscillationsAndDestroysControllers) {
    float outside = 1.0f;
    int destroyed = 0;
    {
        DynamicWidget w(0, 0, nullptr, 1.0f);
        w.AddController(std::make_unique<testsupport::StepController>(L"c", &w, &w.timer, 1.0f, 10.0f, &destroyed));
        w.AddOscillation(std::make_unique<testsupport::ConstantOscillation>(L"o", &outside, 3.0f));
        w.UpdateFraction(1.0f);
        EXPECT_FLOAT_EQ(outside, 4.0f);
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_FLOAT_EQ(outside, 1.0f);
}

TEST_F(FramesTest, WhenDoneActionsRunOnceAnimatingEnds) {
    DynamicWidget* w = AddWidget();
    w->SetTransformChildren(true);
    w->SetPostRender(1);
    w->SetClipping(true);
    w->SetFlagMasks(pass_flag::kOffscreen | pass_flag::kDraw, 0);
    w->AddController(std::make_unique<testsupport::StepController>(L"c", w, &w->timer, 1.0f, 2.0f));
    w->HideWhenDone(true);
    w->ClearFlagWhenDone(true);
    w->ResetModesWhenDone(true);
    w->UpdateFraction(1.0f);
    EXPECT_TRUE(w->IsVisible());
    w->UpdateFraction(1.0f);
    EXPECT_FALSE(w->IsVisible());
    EXPECT_EQ(w->GetAddFlags(), pass_flag::kDraw);
    EXPECT_EQ(w->GetProperty(L"changing").ToBool(), false);
    // Done once: showing it again is not undone by a later frame.
    w->SetVisible(true);
    w->UpdateFraction(1.0f);
    EXPECT_TRUE(w->IsVisible());
}

TEST_F(FramesTest, RemoveWhenDoneOnAStillWidgetRemovesItAtOnce) {
    DynamicWidget* still = AddWidget();
    still->RemoveWhenDone(true);
    EXPECT_EQ(still->GetParent(), nullptr);
    DynamicWidget* cycling = AddWidget();
    cycling->CycleFrames(0, 1.0f, 1, 0.0f, 0, 1, 0.0f, 1);
    cycling->RemoveWhenDone(true);
    EXPECT_EQ(cycling->GetParent(), &mgr);
    cycling->UpdateFraction(1.0f);
    cycling->UpdateFraction(1.0f);
    EXPECT_EQ(cycling->GetParent(), nullptr);
    host.DeleteDeferred();
}

}  // namespace
