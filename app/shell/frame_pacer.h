#pragma once
// The main loop's pump-and-pace state machine: fixed update steps (10 ms by
// default, 100 a second at speed 1.0), catch-up steps while time is owed, a
// fractional update after them, drawing only after a change (and at least
// every tenth update), and pacing by the display's refresh or by sleeping out
// the rest of a frame.
//
// Owns: the pacing state, the time accumulator and the counters.
// Promises: owed time is capped at 200 ms, so a stall never causes more than
// 20 catch-up steps at 10 ms; vsync pacing, once found too fast three
// times in a row (a hundred frames in at most four fifths of the time the
// display's refresh gives them, or a hundred updates in less than nine
// tenths of a second), stays off for the rest of the run; a
// refresh rate the device did not report (0) paces as 100 Hz instead of
// running without end;
// a display faster than the update rate paces at the update rate, so the game
// never runs faster than 100 updates a second.
// Clock and sleep come from the host, so a test drives the loop by hand.
// Threads: the main thread only.

#include <cstdint>

class FrameHost {
public:
    virtual ~FrameHost() = default;
    virtual uint32_t Now() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    // Waits less than a millisecond, where the rest of a frame is too short
    // for Sleep: the loop would otherwise poll the clock until it ticks.
    virtual void SleepBriefly(double ms) { (void)ms; }
    // Dispatches every waiting window message (stops early when shutting down).
    virtual void PumpWindowMessages() = 0;
    // Hands at most one queued input message on; true while more are queued.
    virtual bool DispatchQueuedInput() = 0;
    // One fixed update; false when nothing may update (the screen saver runs).
    virtual bool UpdateStep() = 0;
    virtual void UpdateFrameFraction(float fraction) = 0;
    // Draws and presents; calls FramePacer::AccumulateTime after presenting.
    virtual bool Redraw() = 0;
    virtual void DeleteDueObjects() = 0;
    virtual bool ShuttingDown() = 0;
    // Carries out a shutdown another thread asked for.
    virtual void HandleQuitRequest() = 0;
    // Fullscreen, or the player asked to wait for the vertical refresh.
    virtual bool WantsVsync() = 0;
    // The loading thread runs and the main thread gives it time.
    virtual bool LoadingThrottle() = 0;
    virtual bool LoadingCompletionHandled() = 0;
};

class FramePacer {
public:
    enum State { kTakeInput = 0, kUpdateDue = 1, kUpdated = 2, kIdle = 3 };
    enum StepMode { kStepOff = 0, kStepPending = 1, kStepHolding = 2 };

    explicit FramePacer(FrameHost& host) : host_(host) {}

    void LoopUntilQuit();
    bool RunOneUpdate();
    bool PumpMessagesAndStep(bool& updated);
    bool PaceFrame(bool allowSleep);

    // Adds the time since the last call to the accumulator (capped).
    void AccumulateTime(uint32_t now);
    void ResetTiming();
    void BreakLoop() { loopBreak_ = true; }

    int NestingDepth() const { return depth_; }
    // Frames a second the pacer aims at: the refresh rate, at most one frame
    // per update step.
    int PacingRate() const;
    double FramePeriod() const;
    double UpdatesPerFrame() const;
    bool UsesVsyncPacing();

    // Settings the host changes.
    int updatePeriod_ = 10;
    double speed_ = 1.0;
    int refreshRate_ = 100;
    int stepMode_ = kStepOff;
    bool needsRedraw_ = true;
    bool lastDrawEmpty_ = false;

    // Read by the host and by the statistics.
    State CurrentState() const { return state_; }
    bool VsyncPacingDisabled() const { return vsyncDisabled_; }
    double TimeAccumulator() const { return timeAccumulator_; }
    int UpdateCount() const { return updateCount_; }
    int SleepCount() const { return sleepCount_; }

private:
    bool RunUpdateStep();
    bool DrawBranch(bool allowSleep, uint32_t& slept);
    void SlowFrameCheck(uint32_t now);
    void UpdateRateCheck(uint32_t now);

    FrameHost& host_;
    State state_ = kTakeInput;
    bool loopBreak_ = false;
    bool vsyncDisabled_ = false;
    int depth_ = 0;
    int updatesSinceDraw_ = 0;
    double updateFraction_ = 0.0;
    double timeAccumulator_ = 0.0;
    uint32_t lastAccumulate_ = 0;
    bool accumulating_ = false;
    int fastSeconds_ = 0;
    uint32_t lastCheck_ = 0;
    int updatesInCheck_ = 0;
    bool rateCheckStarted_ = false;
    uint32_t rateCheckStart_ = 0;
    int updatesInRateCheck_ = 0;
    int fastRateChecks_ = 0;
    int updateCount_ = 0;
    int sleepCount_ = 0;
};
