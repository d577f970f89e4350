#include "app/shell/frame_pacer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMaxOwedMs = 200.0;
constexpr uint32_t kMaxLoadingSleepMs = 250;

// Keeps the depth right on every way out of a pump.
class DepthScope {
public:
    explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
    ~DepthScope() { --depth_; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int& depth_;
};

}  // namespace

int FramePacer::PacingRate() const {
    int period = updatePeriod_ > 0 ? updatePeriod_ : 10;
    int fastest = std::max(1, 1000 / period);
    if (refreshRate_ <= 0) return fastest;
    // Above one frame per update the fraction would only ever shrink and every
    // frame would still run a whole update: the game would run fast on a fast
    // display. Frames are paced at the update rate instead.
    return std::min(refreshRate_, fastest);
}

double FramePacer::FramePeriod() const { return 1000.0 / (PacingRate() * speed_); }

double FramePacer::UpdatesPerFrame() const {
    int period = updatePeriod_ > 0 ? updatePeriod_ : 10;
    return 1000.0 / (static_cast<double>(period) * PacingRate());
}

bool FramePacer::UsesVsyncPacing() { return !lastDrawEmpty_ && !vsyncDisabled_ && host_.WantsVsync() && speed_ == 1.0; }

void FramePacer::LoopUntilQuit() {
    while (!host_.ShuttingDown()) {
        loopBreak_ = false;
        RunOneUpdate();
    }
}

bool FramePacer::RunOneUpdate() {
    for (;;) {
        bool updated = false;
        if (!PumpMessagesAndStep(updated)) return false;
        if (updated) return true;
    }
}

bool FramePacer::PumpMessagesAndStep(bool& updated) {
    updated = false;
    if (loopBreak_) return false;
    if (state_ == kIdle) state_ = kTakeInput;
    DepthScope depth(depth_);

    if (state_ == kTakeInput) {
        host_.PumpWindowMessages();
        if (!host_.DispatchQueuedInput()) state_ = kUpdateDue;
        return true;
    }
    if (stepMode_ == kStepHolding) {
        host_.Sleep(static_cast<uint32_t>(updatePeriod_));
        state_ = kIdle;
        return true;
    }
    if (stepMode_ == kStepPending) {
        stepMode_ = kStepHolding;
        RunUpdateStep();
        host_.UpdateFrameFraction(1.0f);
        host_.Redraw();
        return true;
    }
    int before = updateCount_;
    PaceFrame(true);
    updated = updateCount_ != before;
    return true;
}

bool FramePacer::RunUpdateStep() {
    if (!host_.UpdateStep()) return false;
    ++updateCount_;
    UpdateRateCheck(host_.Now());
    return true;
}

// The frames alone miss a present that does not wait when the screen changes
// on some updates only: a frame that draws nothing presents nothing, the
// update after it is due at once, and the game ran a quarter to a half fast
// for as long as it ran. Whatever the frames do, a present that waits lets
// no more than one update through per update period; a hundred updates in
// less than nine tenths of their time, three times in a row, end vsync
// pacing. One such hundred may follow a stall (its owed time is caught up
// at once), never three.
void FramePacer::UpdateRateCheck(uint32_t now) {
    if (vsyncDisabled_ || speed_ != 1.0 || !host_.WantsVsync()) {
        rateCheckStarted_ = false;
        fastRateChecks_ = 0;
        return;
    }
    if (!rateCheckStarted_) {
        rateCheckStarted_ = true;
        rateCheckStart_ = now;
        updatesInRateCheck_ = 0;
        return;
    }
    const int period = updatePeriod_ > 0 ? updatePeriod_ : 10;
    const int checked = (period + 999) / period;
    if (++updatesInRateCheck_ < checked) return;
    const bool fast = now - rateCheckStart_ < 0.9 * checked * period;
    fastRateChecks_ = fast ? fastRateChecks_ + 1 : 0;
    if (fastRateChecks_ >= 3) vsyncDisabled_ = true;
    rateCheckStart_ = now;
    updatesInRateCheck_ = 0;
}

void FramePacer::AccumulateTime(uint32_t now) {
    if (accumulating_) {
        timeAccumulator_ += static_cast<double>(now - lastAccumulate_);
        if (timeAccumulator_ >= kMaxOwedMs) timeAccumulator_ = kMaxOwedMs;
    }
    lastAccumulate_ = now;
    accumulating_ = true;
}

void FramePacer::ResetTiming() {
    timeAccumulator_ = 0.0;
    lastAccumulate_ = host_.Now();
    accumulating_ = true;
}

void FramePacer::SlowFrameCheck(uint32_t now) {
    int period = updatePeriod_ > 0 ? updatePeriod_ : 10;
    const int checked = (period + 999) / period;
    if (++updatesInCheck_ < checked) return;
    // Each of these updates began a frame: a present that waited for the
    // display would have spread them over `checked` frame periods. Done in
    // at most four fifths of that (800 ms at 100 Hz), the present does not
    // wait. A fixed 800 ms would miss a display slower than 100 Hz, where
    // frames drawn at 80 to 125 a second run the game fast and never sleep.
    const double fastMs = 0.8 * checked * FramePeriod();
    if (now - lastCheck_ <= fastMs) {
        if (++fastSeconds_ >= 3) vsyncDisabled_ = true;
    } else {
        fastSeconds_ = 0;
    }
    lastCheck_ = now;
    updatesInCheck_ = 0;
}

bool FramePacer::DrawBranch(bool allowSleep, uint32_t& slept) {
    state_ = kIdle;
    updatesSinceDraw_ = 0;
    if (needsRedraw_) {
        host_.Redraw();
        return true;
    }
    if (!allowSleep) return false;
    const double owed = FramePeriod() - timeAccumulator_;
    double rest = std::trunc(owed);
    if (rest > 0) {
        ++sleepCount_;
        slept = static_cast<uint32_t>(rest);
        host_.Sleep(slept);
    } else if (owed > 0) {
        // Less than a millisecond to go: the update is not due before the
        // clock's next tick, so the wait is slept, not polled.
        host_.SleepBriefly(owed);
    }
    return true;
}

bool FramePacer::PaceFrame(bool allowSleep) {
    host_.HandleQuitRequest();
    uint32_t now = 0;
    uint32_t slept = 0;

    if (speed_ > 0) {
        const double period = FramePeriod();
        const bool vsync = UsesVsyncPacing();
        now = host_.Now();
        if (!vsync) AccumulateTime(now);

        bool draw = state_ == kTakeInput || state_ == kIdle;
        if (state_ == kUpdateDue) {
            ++updatesSinceDraw_;
            bool forceDraw =
                updatesSinceDraw_ >= static_cast<int>(std::ceil(speed_ * 10)) && host_.LoadingCompletionHandled();
            bool due = false;
            if (!forceDraw) {
                if (vsync)
                    due = !needsRedraw_ || timeAccumulator_ >= std::trunc(period * 0.75);
                else
                    due = timeAccumulator_ >= period;
            }
            if (due) {
                if (speed_ == 1.0) SlowFrameCheck(now);
                if (RunUpdateStep()) state_ = kUpdated;
                needsRedraw_ = true;
            } else {
                draw = true;
            }
        } else if (state_ == kUpdated) {
            state_ = kIdle;
            const double perFrame = UpdatesPerFrame();
            updateFraction_ += perFrame - 1.0;
            host_.DeleteDueObjects();
            while (updateFraction_ >= 1.0) {
                ++updatesSinceDraw_;
                if (!RunUpdateStep()) break;
                host_.DeleteDueObjects();
                updateFraction_ -= 1.0;
            }
            host_.UpdateFrameFraction(static_cast<float>(perFrame));
            host_.DeleteDueObjects();
            timeAccumulator_ -= period;
            if (vsync) {
                timeAccumulator_ -= 0.2;
                if (timeAccumulator_ <= 0) timeAccumulator_ = 0;
            }
        }
        if (draw && !DrawBranch(allowSleep, slept)) return false;

        if (host_.LoadingThrottle()) {
            if (!allowSleep) return false;
            int64_t busy = static_cast<int64_t>(host_.Now() - now - slept);
            int64_t wait = 2 * busy - slept;
            if (wait > kMaxLoadingSleepMs) wait = kMaxLoadingSleepMs;
            if (wait >= 0) host_.Sleep(static_cast<uint32_t>(wait));
        }
    }
    host_.DeleteDueObjects();
    return true;
}
