// The main loop's pacing driven by a fake clock: updates per second at any
// refresh rate, the catch-up cap after a stall, the vsync heuristics, the
// forced draw, the loading throttle, and deferred deletion by nesting depth.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <string>
#include <thread>

#include "app/shell/deferred_delete.h"
#include "app/shell/frame_pacer.h"

namespace {

class FakeLoop : public FrameHost {
public:
    FakeLoop() : pacer(*this) {}

    uint32_t Now() override { return now; }
    void Sleep(uint32_t ms) override {
        now += ms;
        sleeps.push_back(ms);
    }
    // Each pass costs a little time, as a real one does, so a loop that
    // neither sleeps nor updates still sees the clock move.
    void SleepBriefly(double ms) override {
        if (!napping) return;
        micros += static_cast<uint32_t>(ms * 1000);
        now += micros / 1000;
        micros %= 1000;
    }
    void PumpWindowMessages() override {
        ++passes;
        micros += 50;
        now += micros / 1000;
        micros %= 1000;
    }
    bool DispatchQueuedInput() override {
        if (queued > 0) --queued;
        return queued > 0;
    }
    bool UpdateStep() override {
        now += updateCost;
        ++updates;
        if (onUpdate) onUpdate();
        return true;
    }
    void UpdateFrameFraction(float fraction) override { lastFraction = fraction; }
    bool Redraw() override {
        if (changesEvery > 1 && updates % changesEvery != 0) {
            // Nothing changed on screen: nothing drawn, the time not counted.
            pacer.needsRedraw_ = false;
            pacer.lastDrawEmpty_ = true;
            return false;
        }
        now += drawCost;
        if (presentWaitsForRefresh) {
            uint32_t period = static_cast<uint32_t>(1000 / pacer.refreshRate_);
            now += period - now % period;
        }
        pacer.AccumulateTime(now);
        pacer.needsRedraw_ = false;
        pacer.lastDrawEmpty_ = false;
        ++draws;
        return true;
    }
    void DeleteDueObjects() override { deferred.DeleteDue(pacer.NestingDepth()); }
    bool ShuttingDown() override { return now >= stopAt; }
    void HandleQuitRequest() override {}
    bool WantsVsync() override { return vsync; }
    bool LoadingThrottle() override { return loading; }
    bool LoadingCompletionHandled() override { return !loading; }

    // Runs the loop until the fake clock reaches `ms`.
    void RunFor(uint32_t ms) {
        stopAt = now + ms;
        pacer.LoopUntilQuit();
    }

    FramePacer pacer;
    DeferredDeleteList deferred;
    uint32_t now = 1000;
    uint32_t micros = 0;
    uint32_t stopAt = 0;
    uint32_t updateCost = 0;
    uint32_t drawCost = 1;
    bool presentWaitsForRefresh = false;
    int changesEvery = 1;  // the screen changes on every n-th update only
    bool napping = false;  // SleepBriefly waits (else it returns at once)
    int passes = 0;
    bool vsync = false;
    bool loading = false;
    int queued = 0;
    int updates = 0;
    int draws = 0;
    float lastFraction = 0;
    std::vector<uint32_t> sleeps;
    std::function<void()> onUpdate;
};

TEST(FramePacer, HundredUpdatesASecondAtEveryRefreshRate) {
    for (int refresh : {0, 50, 60, 75, 100, 144}) {
        FakeLoop loop;
        loop.pacer.refreshRate_ = refresh;
        loop.RunFor(10000);
        EXPECT_NEAR(loop.updates, 1000, 3) << refresh;
        int effective = refresh > 0 && refresh < 100 ? refresh : 100;
        // Every frame changes something, so one draw per frame period.
        EXPECT_NEAR(loop.draws, effective * 10, effective / 10 + 2) << refresh;
        EXPECT_FLOAT_EQ(loop.lastFraction, 100.0f / effective) << refresh;
    }
}

// A frame period that is no whole number of milliseconds leaves less than
// one to go before many an update: slept, not polled, with the same updates
// and draws.
TEST(FramePacer, TheLastMillisecondOfAFrameIsSleptWithTheSamePacing) {
    for (int refresh : {30, 60, 75}) {
        FakeLoop polling, napping;
        napping.napping = true;
        for (FakeLoop* loop : {&polling, &napping}) {
            loop->pacer.refreshRate_ = refresh;
            loop->RunFor(10000);
        }
        EXPECT_NEAR(polling.updates, napping.updates, 2) << refresh;
        EXPECT_NEAR(polling.draws, napping.draws, 2) << refresh;
        EXPECT_NEAR(polling.sleeps.size(), napping.sleeps.size(), polling.sleeps.size() / 20 + 2) << refresh;
        EXPECT_LT(napping.passes * 2, polling.passes) << refresh;
    }
}

TEST(FramePacer, SixtyHertzAlternatesOneAndTwoCatchUpSteps) {
    FakeLoop loop;
    loop.pacer.refreshRate_ = 60;
    loop.RunFor(1000);
    std::vector<int> perDraw;
    int lastUpdates = loop.updates, lastDraws = loop.draws;
    loop.onUpdate = [&] {
        if (loop.draws != lastDraws) {
            perDraw.push_back(loop.updates - 1 - lastUpdates);
            lastUpdates = loop.updates - 1;
            lastDraws = loop.draws;
        }
    };
    loop.RunFor(1000);
    ASSERT_GT(perDraw.size(), 50u);
    int ones = 0, twos = 0;
    for (int n : perDraw) {
        EXPECT_TRUE(n == 1 || n == 2) << n;
        (n == 1 ? ones : twos)++;
    }
    // 1000 / 600 updates per frame: two frames in three catch up once.
    EXPECT_NEAR(static_cast<double>(twos) / perDraw.size(), 2.0 / 3.0, 0.05);
}

TEST(FramePacer, StallCatchesUpAtMostTwoHundredMilliseconds) {
    FakeLoop loop;
    loop.RunFor(1000);
    int before = loop.updates;
    loop.now += 5000;  // the process was stopped
    loop.RunFor(1000);
    // One second of steps plus at most 20 owed ones.
    EXPECT_LE(loop.updates - before, 100 + 20 + 1);
    EXPECT_GE(loop.updates - before, 100 + 15);
}

TEST(FramePacer, VsyncPacingTurnsOffAfterThreeFastSeconds) {
    FakeLoop fast;  // present returns at once: the display does not pace us
    fast.vsync = true;
    fast.drawCost = 0;
    fast.RunFor(4000);
    EXPECT_TRUE(fast.pacer.VsyncPacingDisabled());
    int before = fast.updates;
    fast.RunFor(2000);
    EXPECT_NEAR(fast.updates - before, 200, 3);

    FakeLoop paced;
    paced.vsync = true;
    paced.presentWaitsForRefresh = true;
    paced.RunFor(6000);
    EXPECT_FALSE(paced.pacer.VsyncPacingDisabled());
    EXPECT_NEAR(paced.updates, 600, 30);
}

// Below 100 Hz a present that does not wait shows itself at frame rates a
// fixed 800 ms per hundred frames never catches: 9 ms frames on a 60 or
// 75 Hz display ran the game fast without ever sleeping. A present that
// does wait keeps vsync pacing on the same display.
TEST(FramePacer, VsyncPacingTurnsOffBelowAHundredHertzWhenThePresentDoesNotWait) {
    for (int refresh : {60, 75}) {
        FakeLoop fast;
        fast.vsync = true;
        fast.pacer.refreshRate_ = refresh;
        fast.drawCost = 9;
        fast.RunFor(5000);
        EXPECT_TRUE(fast.pacer.VsyncPacingDisabled()) << refresh;
        const int before = fast.updates;
        const size_t slept = fast.sleeps.size();
        fast.RunFor(2000);
        EXPECT_NEAR(fast.updates - before, 200, 4) << refresh;
        EXPECT_GE(fast.sleeps.size() - slept, 100u) << refresh;  // the rest of each frame is slept

        FakeLoop paced;
        paced.vsync = true;
        paced.pacer.refreshRate_ = refresh;
        paced.drawCost = 9;
        paced.presentWaitsForRefresh = true;
        paced.RunFor(6000);
        EXPECT_FALSE(paced.pacer.VsyncPacingDisabled()) << refresh;
        EXPECT_NEAR(paced.updates, 600, 40) << refresh;
    }
}

TEST(FramePacer, SlowMotionForcesADrawEveryThreeUpdates) {
    FakeLoop loop;
    loop.pacer.speed_ = 0.25;
    loop.vsync = true;  // ignored away from normal speed
    int drawsAtUpdate = 0, longest = 0;
    loop.onUpdate = [&] {
        longest = std::max(longest, loop.updates - drawsAtUpdate);
        if (loop.pacer.needsRedraw_ == false) drawsAtUpdate = loop.updates;
    };
    loop.RunFor(4000);
    EXPECT_NEAR(loop.updates, 100, 3);  // a quarter of the normal rate
    EXPECT_FALSE(loop.pacer.UsesVsyncPacing());
    EXPECT_LE(longest, 3);
}

TEST(FramePacer, LoadingThrottleSleepsAtMostAQuarterSecond) {
    FakeLoop loop;
    loop.loading = true;
    loop.updateCost = 400;  // a slow update while the loader runs
    loop.RunFor(5000);
    ASSERT_FALSE(loop.sleeps.empty());
    for (uint32_t s : loop.sleeps) EXPECT_LE(s, 250u);
    EXPECT_NE(std::find(loop.sleeps.begin(), loop.sleeps.end(), 250u), loop.sleeps.end());
}

TEST(FramePacer, QueuedInputIsHandedOnOneMessageAPass) {
    FakeLoop loop;
    loop.queued = 5;
    bool updated = true;
    for (int pass = 0; pass < 4; ++pass) {
        ASSERT_TRUE(loop.pacer.PumpMessagesAndStep(updated));
        EXPECT_EQ(loop.pacer.CurrentState(), FramePacer::kTakeInput);
        EXPECT_FALSE(updated);
    }
    loop.pacer.PumpMessagesAndStep(updated);
    EXPECT_EQ(loop.pacer.CurrentState(), FramePacer::kUpdateDue);
}

struct Tracked {
    explicit Tracked(std::vector<int>& log, int id) : log_(log), id_(id) {}
    ~Tracked() { log_.push_back(id_); }
    std::vector<int>& log_;
    int id_;
};

TEST(DeferredDelete, NestedLoopDeletesOnlyItsOwnObjects) {
    FakeLoop loop;
    std::vector<int> deleted;
    bool nested = false;
    loop.onUpdate = [&] {
        if (nested) return;
        nested = true;
        // Deferred at the outer level, then a nested loop runs.
        loop.deferred.Defer(loop.pacer.NestingDepth(), std::make_unique<Tracked>(deleted, 1));
        bool updated = false;
        for (int i = 0; i < 20; ++i) {
            loop.pacer.PumpMessagesAndStep(updated);
            if (i == 2) loop.deferred.Defer(loop.pacer.NestingDepth() + 1, std::make_unique<Tracked>(deleted, 2));
        }
        EXPECT_EQ(deleted, std::vector<int>{2});  // the inner one is gone already
    };
    loop.RunFor(100);
    EXPECT_EQ(deleted, (std::vector<int>{2, 1}));
    EXPECT_EQ(loop.deferred.Size(), 0u);
}

}  // namespace

// A screen that changes on some updates only draws nothing in between, and
// a frame that draws nothing presents nothing: with a present that does not
// wait, the update after it was due at once and the game ran up to half as
// fast again, at some rates for good (125 updates a second at 100 Hz with a
// change every third update). The updates' own rate ends vsync pacing; a
// present that waits keeps the game at a hundred updates a second.
TEST(FramePacer, AScreenChangingOnSomeUpdatesKeepsAHundredUpdatesASecond) {
    for (int refresh : {60, 75, 100}) {
        for (int every : {2, 3, 5}) {
            for (bool waits : {false, true}) {
                FakeLoop loop;
                loop.vsync = true;
                loop.pacer.refreshRate_ = refresh;
                loop.drawCost = 4;
                loop.presentWaitsForRefresh = waits;
                loop.changesEvery = 1000000;  // a still title screen first
                loop.RunFor(5000);
                loop.changesEvery = every;
                const int settled = loop.updates;
                loop.RunFor(4000);
                const int before = loop.updates;
                loop.RunFor(5000);
                const std::string label = std::to_string(refresh) + " Hz, every " + std::to_string(every) +
                                          (waits ? ", waiting" : ", not waiting");
                // The fake display's period is whole milliseconds (16 at 60 Hz,
                // 62.5 frames a second), which lets a waiting loop run a few
                // percent fast.
                EXPECT_NEAR(loop.updates - before, 500, waits ? 25 : 6) << label;
                if (!waits) {
                    EXPECT_TRUE(loop.pacer.VsyncPacingDisabled()) << label;
                    // Three hundred updates at most to find it out.
                    EXPECT_LE(before - settled, 400 + 300) << label;
                }
            }
        }
    }
}

// The loading thread defers the widgets its off-tree scripts let go of while
// the main thread deletes what is due: every object is deleted exactly once.
TEST(DeferredDeleteList, ObjectsDeferredFromAnotherThreadWhileTheMainThreadDeletesAreEachDeletedOnce) {
    struct Counted {
        explicit Counted(std::atomic<int>& n) : deleted(n) {}
        ~Counted() { ++deleted; }
        std::atomic<int>& deleted;
    };
    constexpr int kObjects = 20000;
    std::atomic<int> deleted{0};
    std::atomic<bool> done{false};
    DeferredDeleteList list;
    std::thread loader([&] {
        for (int i = 0; i < kObjects; ++i) list.Defer(i % 3, std::make_unique<Counted>(deleted));
        done = true;
    });
    while (!done) list.DeleteDue(1);
    loader.join();
    list.DeleteAll();
    EXPECT_EQ(deleted.load(), kObjects);
    EXPECT_EQ(list.Size(), 0u);
}
