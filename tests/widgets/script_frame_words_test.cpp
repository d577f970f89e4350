// Frame, blink and mask words through the managed tree: which cel an object
// shows and whether it is visible after each fixed update step.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/script_words_test_support.h"

namespace {

class FrameWordsTest : public testsupport::WordsTest {
protected:
    ~FrameWordsTest() override {
        // The objects go before the images they show.
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
    // A strip of `cels` cels of 4 x 4, opaque.
    DynamicWidget* Strip(int cels) {
        images_.push_back(testsupport::SolidImage(4 * cels, 4, 0xFF808080u, 1, cels));
        return Object(L"box", images_.back().get());
    }
    Image* Keep(std::unique_ptr<ImageSurface> image) {
        images_.push_back(std::move(image));
        return images_.back().get();
    }
    // The frame after each of `steps` update steps.
    std::vector<int> Frames(DynamicWidget* box, int steps) {
        std::vector<int> out;
        for (int i = 0; i < steps; ++i) {
            Tick();
            out.push_back(box->GetFrame());
        }
        return out;
    }

private:
    std::vector<std::unique_ptr<ImageSurface>> images_;
};

TEST_F(FrameWordsTest, CycleForwardOverEveryCelWithTwoUnitsPerCel) {
    DynamicWidget* box = Strip(4);
    Do(L"cycle", {{L"rate", L"2"}, {L"min", L"0"}});
    std::vector<int> expected;
    for (int step = 1; step <= 12; ++step) expected.push_back((step / 2) % 4);
    EXPECT_EQ(Frames(box, 12), expected);
    EXPECT_FALSE(box->IsAnimating());  // endless cycling does not count
}

TEST_F(FrameWordsTest, CycleBothWaysTurnsAtItsEnds) {
    DynamicWidget* box = Strip(4);
    Do(L"cycle", {{L"rate", L"1"}, {L"dir", L"both"}, {L"min", L"0"}, {L"max", L"2"}});
    EXPECT_EQ(Frames(box, 8), (std::vector<int>{1, 2, 1, 0, 1, 2, 1, 0}));
}

TEST_F(FrameWordsTest, OneForwardCycleEndsOnTheLastCelAndOneBackwardOnTheFirst) {
    DynamicWidget* box = Strip(4);
    Do(L"cycle", {{L"rate", L"1"}, {L"cycles", L"1"}});
    EXPECT_TRUE(box->IsAnimating());
    EXPECT_EQ(Frames(box, 6), (std::vector<int>{1, 2, 3, 3, 3, 3}));
    EXPECT_FALSE(box->IsAnimating());
    Do(L"cycle", {{L"frame", L"3"}, {L"rate", L"1"}, {L"cycles", L"1"}, {L"dir", L"back"}});
    EXPECT_EQ(Frames(box, 5), (std::vector<int>{2, 1, 0, 0, 0}));
}

TEST_F(FrameWordsTest, RandomCycleOverOneCelKeepsItAndNoRateStaysStill) {
    DynamicWidget* box = Strip(4);
    Do(L"cycle", {{L"frame", L"2"}, {L"rate", L"1"}, {L"dir", L"random"}, {L"min", L"2"}, {L"max", L"2"}});
    EXPECT_EQ(Frames(box, 4), (std::vector<int>{2, 2, 2, 2}));
    Do(L"cycle", {{L"frame", L"1"}, {L"rate", L"-3"}});
    EXPECT_EQ(Frames(box, 3), (std::vector<int>{1, 1, 1}));
}

TEST_F(FrameWordsTest, CycleWithCrossfadeFadesIntoEachNewCel) {
    DynamicWidget* box = Strip(4);
    Do(L"cycle", {{L"rate", L"10"}, {L"crossfade", L"5"}});
    Tick(10);
    EXPECT_EQ(box->GetFrame(), 1);
    EXPECT_EQ(box->GetPreviousFrame(), 0);
    EXPECT_EQ(box->GetFadeFraction(), 1.0f);
    Tick(2);
    EXPECT_NEAR(box->GetFadeFraction(), 1.0f - 2.0f / 5.0f, 1e-5f);
}

TEST_F(FrameWordsTest, FadeToFrameTweensTheFadeAndToTheShownFrameDoesNothing) {
    DynamicWidget* box = Strip(4);
    Do(L"fade-to-frame", {{L"frame", L"0"}});
    EXPECT_TRUE(box->GetControllers().empty());
    Do(L"fade-to-frame", {{L"frame", L"2"}, {L"time", L"4"}, {L"curve", L"in_quad"}});
    EXPECT_EQ(box->GetFrame(), 2);
    Tick(2);
    EXPECT_NEAR(box->GetFadeFraction(), 1.0f - 0.25f, 1e-5f);
    Tick(2);
    EXPECT_EQ(box->GetFadeFraction(), 0.0f);
    Do(L"fade-to-frame", {{L"frame", L"3"}});  // 20 units by default
    Tick(10);
    EXPECT_NEAR(box->GetFadeFraction(), 0.5f, 1e-5f);
}

TEST_F(FrameWordsTest, FlashHidesTwentyStepsThenBlinksTwiceAndStaysVisible) {
    DynamicWidget* box = Strip(1);
    Do(L"flash", {{L"interval", L"10"}, {L"cycles", L"2"}});
    EXPECT_FALSE(box->IsVisible());
    for (int step = 1; step <= 80; ++step) {
        Tick();
        const bool shown = step >= 60 || (step >= 20 && step < 30) || (step >= 40 && step < 50);
        ASSERT_EQ(box->IsVisible(), shown) << step;
    }
    EXPECT_FALSE(box->IsAnimating());
    Do(L"flash", {{L"interval", L"0"}, {L"cycles", L"3"}});
    EXPECT_TRUE(box->IsVisible());
    Tick(5);
    EXPECT_TRUE(box->IsVisible());
}

// Intervals and start phases are any int: a huge interval still blinks,
// only slowly, and a huge start phase is counted from without overflow.
TEST_F(FrameWordsTest, FlashWithHugeIntervalOrStartPhaseStaysInRange) {
    DynamicWidget* box = Strip(1);
    Do(L"flash", {{L"interval", L"2000000000"}, {L"cycles", L"1"}, {L"timer_init", L"0"}});
    EXPECT_TRUE(box->IsVisible());
    Tick(3);
    EXPECT_TRUE(box->IsVisible());
    EXPECT_TRUE(box->IsAnimating());
    Do(L"flash", {{L"interval", L"5"}, {L"cycles", L"2"}, {L"timer_init", L"2147483647"}});
    EXPECT_FALSE(box->IsVisible());
    Tick(3);
    EXPECT_TRUE(box->IsAnimating());
    Do(L"flash", {{L"interval", L"-2147483648"}, {L"cycles", L"1"}, {L"timer_init", L"-2147483648"}});
    Tick(3);
}

TEST_F(FrameWordsTest, MaskWordsChooseWhatTheHitTestLooksAt) {
    DynamicWidget* box = Strip(1);
    // The mask's left half is opaque, its right half clear; a second cel is all clear.
    Image* mask = Keep(testsupport::MakeImage(
        16, 8, [](int x, int) { return x < 4 ? 0xFF000000u : 0u; }, 1, 2));
    runner->SetVariable(L"m", PropertyValue::FromImage(mask));
    Do(L"set-mask", {{L"image", L"m"}});
    EXPECT_TRUE(box->HitTest(1, 1));
    EXPECT_FALSE(box->HitTest(3, 1));  // scaled onto the mask's 8 x 8 cel: column 6
    Do(L"mask-rect", {{L"x", L"0"}, {L"y", L"0"}, {L"width", L"4"}, {L"height", L"8"}});
    EXPECT_TRUE(box->HitTest(3, 1));  // the rectangle's 4 columns: column 3
    Do(L"mask-rect", {{L"enable", L"0"}, {L"width", L"4"}, {L"height", L"8"}});
    EXPECT_FALSE(box->HitTest(3, 1));
    Do(L"set-mask-frame", {{L"frame", L"1"}});
    EXPECT_EQ(box->GetMaskFrame(), 1);
    EXPECT_FALSE(box->HitTest(1, 1));
    Do(L"cycle-mask", {{L"frame", L"0"}, {L"rate", L"1"}, {L"cycles", L"1"}});
    EXPECT_TRUE(box->HitTest(1, 1));
    Tick();
    EXPECT_EQ(box->GetMaskFrame(), 1);  // its own animator, the mask's two cels
    EXPECT_EQ(box->GetFrame(), 0);
    Do(L"set-mask", {});
    EXPECT_TRUE(box->HitTest(1, 1));
}

TEST_F(FrameWordsTest, AFrameOutsideTheCelsIsKeptAndNeverHit) {
    DynamicWidget* box = Strip(4);
    Do(L"set-frame", {{L"frame", L"99"}});
    EXPECT_EQ(box->GetFrame(), 99);
    EXPECT_FALSE(box->HitTest(1, 1));
    Do(L"set-frame", {{L"frame", L"-1"}});
    EXPECT_FALSE(box->HitTest(1, 1));
    Do(L"set-frame", {{L"frame", L"3"}});
    EXPECT_TRUE(box->HitTest(1, 1));
}

}  // namespace
