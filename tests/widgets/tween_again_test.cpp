// A pair tween kept once it ended and started again (KeepEnded, TweenAgain)
// against one made anew for every leg, as a walker's steps are made.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/motion/controller_name.h"

namespace {

const ControllerName kLeg(L"leg_tween");

// Walks legs to given points; `keep` widgets keep the ended leg's tween,
// as a walking person keeps its step's.
class Legs : public DynamicWidget {
public:
    explicit Legs(bool keep) : DynamicWidget(0, 0, nullptr, 1.0f), keep_(keep) {}
    void Leg(float endX, float endY, float time) {
        StopTweens(kLeg);
        if (kept_)
            TweenAgain(std::move(kept_), endX, endY, time);
        else
            TweenPropertyPair(kLeg, L"x", L"y", endX, endY, time, L"", 0.0f);
    }
    bool HasKept() const { return kept_ != nullptr; }

protected:
    void KeepEnded(std::unique_ptr<Controller>& ended) override {
        if (keep_) KeepPairTween(ended, kept_, kLeg, &x_, &y_, change_bit::kPosition);
    }

private:
    bool keep_;
    std::unique_ptr<Tweener> kept_;
};

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Legs of every kind of duration (long, short, none, not a number, too
// short for its rate, infinite: one change a unit) and odd update lengths: the kept tween
// moves both fields to the same bits at every update, ends at the same
// update, counts as animating exactly while the fresh one does, and is
// known by its name's bit as a tween while it runs only.
TEST(TweenAgainTest, AKeptLegMovesAsAFreshOneAtEveryUpdate) {
    const float kTimes[] = {7.0f, 2.5f, 0.0f, std::nanf(""), 1e-40f, std::numeric_limits<float>::infinity(), 13.0f};
    const float kUpdates[] = {1.0f, 0.3f, 2.7f, 1.0f};
    Legs fresh(false), kept(true);
    int leg = 0, restarts = 0;
    for (float time : kTimes) {
        const float endX = 10.0f * static_cast<float>(leg % 3) - 7.5f, endY = 3.25f * static_cast<float>(leg);
        ++leg;
        restarts += kept.HasKept();
        fresh.Leg(endX, endY, time);
        kept.Leg(endX, endY, time);
        for (int update = 0; update < 60 && fresh.CountTweens(kLeg) > 0; ++update) {
            ASSERT_EQ(kept.GetControllerCount(), fresh.GetControllerCount()) << leg << " " << update;
            ASSERT_EQ(kept.IsAnimating(), fresh.IsAnimating());
            const float x = kUpdates[static_cast<size_t>(update) % std::size(kUpdates)];
            fresh.UpdateFraction(x);
            kept.UpdateFraction(x);
            ASSERT_TRUE(SameBits(kept.GetX(), fresh.GetX())) << leg << " " << update;
            ASSERT_TRUE(SameBits(kept.GetY(), fresh.GetY())) << leg << " " << update;
            ASSERT_EQ(kept.CountTweens(kLeg), fresh.CountTweens(kLeg)) << leg << " " << update;
        }
        EXPECT_EQ(fresh.CountTweens(kLeg), 0) << leg;
        EXPECT_EQ(kept.GetControllerCount(), 0) << leg;
        EXPECT_FALSE(kept.IsAnimating()) << leg;
        EXPECT_EQ(kept.GetX(), endX) << leg;
        EXPECT_EQ(kept.GetY(), endY) << leg;
    }
    // Every leg after the first was a restart.
    EXPECT_EQ(restarts, static_cast<int>(std::size(kTimes)) - 1);
    EXPECT_TRUE(kept.GetControllers().size() == fresh.GetControllers().size());
}

// A tween of another shape under the same name (one field, or a curve) is
// not kept; the widget dies with a kept one resting, counting nothing.
TEST(TweenAgainTest, OnlyAPlainPairIsKeptAndARestingOneCountsNothing) {
    Legs w(true);
    w.TweenProperty(kLeg.Text(), L"x", 5.0f, 1.0f, L"", false);
    w.UpdateFraction(1.0f);
    EXPECT_FALSE(w.HasKept());
    w.TweenPropertyPair(kLeg.Text(), L"x", L"y", 1.0f, 1.0f, 1.0f, L"in_quad", 0.0f);
    w.UpdateFraction(1.0f);
    EXPECT_FALSE(w.HasKept());
    w.Leg(2.0f, 2.0f, 1.0f);
    w.UpdateFraction(1.0f);
    EXPECT_TRUE(w.HasKept());
    EXPECT_EQ(w.GetControllerCount(), 0);
    EXPECT_TRUE(w.GetControllers().empty());
    w.Leg(3.0f, 3.0f, 2.0f);
    EXPECT_FALSE(w.HasKept());
    EXPECT_EQ(w.GetControllerCount(), 1);
    EXPECT_EQ(w.CountTweens(kLeg), 1);
}

}  // namespace
