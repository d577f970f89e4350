#pragma once
// Controllers: the objects that move a DynamicWidget's float properties
// over time. The widget holds them by name, advances each once per frame
// (Update with the elapsed update units) and destroys one that reports it
// has finished. Every Update ends with the widget's PropertiesChanged and
// the controller's change bits.
//
// Promises: a controller never writes NaN or an infinite value into a
// property it was given finite values for (zero durations and rates fall
// back to one whole change per update unit). A value beyond the float range
// (a propeller running for ever, a curve far outside 0..1) is held at the
// largest finite float of its sign, where an overflowing float sum would
// have given infinity. A controller that counts as
// animating keeps the widget's controller count one higher while it lives.
// Callers must not keep a controller after handing it to the widget, nor
// let it outlive the widget or the fields it drives. Main thread only.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "widgets/motion/easing_curve.h"

class DynamicWidget;

// On a line's boundary: the per-frame walk fetches a widget's first
// controller's first two lines ahead of its update (NamePassTarget), and
// only then are the fields an update reads on the lines it asked for.
class alignas(64) Controller {
public:
    // An empty name becomes "controller%d" from a process-wide counter.
    Controller(std::wstring name, DynamicWidget* widget, std::unique_ptr<EasingCurve> curve, bool countsAsAnimating,
               uint32_t changeBits);
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;
    virtual ~Controller();

    // Advances by x update units; true when finished.
    virtual bool Update(float x) = 0;

    const std::wstring& GetName() const { return name_; }
    // The number of the name (ControllerName), or -1: a name numbered
    // once keeps its number, so a number found is kept and the widget's
    // bookkeeping at each start and end of a tween searches the numbered
    // names only while there is none.
    int NameNumber();
    bool CountsAsAnimating() const { return countsAsAnimating_; }
    // Kept aside by its widget once it ended, to be started again: while it
    // rests it does not count as animating.
    void SetResting(bool resting);
    float GetProgress() const { return progress_; }
    float GetRate() const { return rate_; }

protected:
    // Progress per update unit over a duration. No time (or a time that is
    // not a number) is one whole change per unit; a time so short that its
    // reciprocal overflows still finishes at the first update rather than
    // turning the progress into NaN on an update of no time.
    static float RateForDuration(float duration);
    // The curve at t; a controller made without one moves linearly. Always
    // finite for a t that is a number: a running time that overflowed to
    // infinity gives the nearest finite value, and a NaN answer the linear one.
    float Curve(float t);
    // Writes `value` held within the float range; NaN leaves the field as it was.
    static void Store(float* field, double value);
    void Refresh();

    std::wstring name_;
    bool countsAsAnimating_;
    bool resting_ = false;
    int nameNumber_ = -1;
    std::unique_ptr<EasingCurve> curve_;
    DynamicWidget* widget_;
    float progress_ = 0.0f;
    float rate_ = 1.0f;
    uint32_t changeBits_;
};

// One field a Tweener moves from start to end.
struct TweenTarget {
    float* field;
    float start;
    float end;
};

// From start to end values along the curve over a duration; finished when
// its progress reaches 1. `elapsed` is a head start in update units.
class Tweener : public Controller {
public:
    Tweener(std::wstring name, DynamicWidget* widget, float duration, std::unique_ptr<EasingCurve> curve,
            uint32_t changeBits, std::vector<TweenTarget> targets, float elapsed);
    bool Update(float x) override;
    // Holds the fields where they are for this many update units first.
    void SetDelay(float units) { delay_ = std::isfinite(units) && units > 0.0f ? units : 0.0f; }
    // Whether it moves just these two fields (in this order) by these
    // change bits along a straight course: what RestartPair can start again.
    bool MovesPair(const float* first, const float* second, uint32_t changeBits) const;
    // Starts again, as a tweener made anew over the same two fields with no
    // head start would: from their present values to (endFirst, endSecond)
    // over `duration`, no delay. Only for a tweener MovesPair answers.
    void RestartPair(float endFirst, float endSecond, float duration);

private:
    // The progress, rate and time run at the start, `elapsed` units in.
    void StartTiming(float duration, float elapsed);

    // What an update reads comes first, on the two lines that hold the
    // controller's own fields: a walking visitor's tween then waits on no
    // third line after a frame was drawn.
    float delay_ = 0.0f;
    // With a duration the progress is the time run over the duration, so a
    // change of n units ends after exactly n units of time; adding a
    // rounded 1/n n times can fall short of 1 and take one update more.
    float duration_ = 0.0f;
    uint8_t nearCount_ = 0;
    bool hasMore_ = false;
    double elapsed_ = 0.0;
    // The first two targets lie in the tweener itself, where an update
    // reads them with its own fields; any more follow in a vector, read
    // only when there are more.
    std::array<TweenTarget, 2> near_{};
    std::vector<TweenTarget> more_;
};
