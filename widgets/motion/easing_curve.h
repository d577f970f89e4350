#pragma once
// Easing curves: the maps from a timed change's progress to the eased value
// its controller writes. Progress runs 0 to 1 for tweens; propellers feed
// an unbounded time, so every curve also answers outside that range.
//
// Promises: Evaluate never allocates (formula curves excepted: they parse
// their text on every call, see easing_formula.h) and never answers NaN
// for a finite input: where a formula has no value (a base of 1, a negative
// base, a formula that gives NaN) the curve yields the linear value t, and
// InCirc past the ends of its quarter circle yields the edge, 0. The powers
// and InBounce, whose values for a huge t lie beyond the float range, yield
// the float nearest to them, the largest finite one of their sign, rather
// than infinity.
// Wrapper curves own their inner curve (a null one reads as Linear).
// Curves are not copyable; the caller of a factory owns what it returns
// (controllers take it over).
// Main thread only: nothing here is locked.

#include <limits>
#include <memory>

// The pi that curve timings were tuned against: one float step below pi.
inline constexpr float kCurvePi = 3.1415925f;

// The float nearest to `v`: beyond the float range (infinity included) the
// largest finite float of v's sign. NaN stays NaN.
inline float NearestFinite(double v) {
    constexpr double kMost = std::numeric_limits<float>::max();
    return static_cast<float>(v > kMost ? kMost : v < -kMost ? -kMost : v);
}

class EasingCurve {
public:
    EasingCurve() = default;
    EasingCurve(const EasingCurve&) = delete;
    EasingCurve& operator=(const EasingCurve&) = delete;
    virtual ~EasingCurve() = default;

    virtual float Evaluate(float t) = 0;
};

class Linear : public EasingCurve {
public:
    float Evaluate(float t) override { return t; }
};

// a t^2 + b t + c: the vertical course of a jump along a parabola.
class ParabolicCurve : public EasingCurve {
public:
    ParabolicCurve(float a, float b, float c) : a_(a), b_(b), c_(c) {}
    float Evaluate(float t) override;

private:
    float a_, b_, c_;
};

// t raised to a whole power.
template <int N>
class InPower : public EasingCurve {
public:
    float Evaluate(float t) override {
        float v = t;
        for (int i = 1; i < N; ++i) v *= t;
        return NearestFinite(v);
    }
};
using InQuad = InPower<2>;
using InCubic = InPower<3>;
using InQuart = InPower<4>;
using InQuint = InPower<5>;

class InSine : public EasingCurve {
public:
    float Evaluate(float t) override;
};

// (base^t - 1) / (base - 1).
class InExpo : public EasingCurve {
public:
    explicit InExpo(float base) : base_(base) {}
    float Evaluate(float t) override;

private:
    float base_;
};

// sqrt(1 - (1 - t)^2): steep at the start, flat at the end.
class InCirc : public EasingCurve {
public:
    float Evaluate(float t) override;
};

// t^3 (accel + 1) - t^2 accel: draws back below 0 before it rises.
class InBack : public EasingCurve {
public:
    explicit InBack(float accel) : accel_(accel) {}
    float Evaluate(float t) override;

private:
    float accel_;
};

// The exponential rise of InExpo, shaken by a sine of the given angular
// frequency; fraction is the share of the value that shakes.
class InElastic : public EasingCurve {
public:
    InElastic(float base, float frequency, float fraction) : base_(base), frequency_(frequency), fraction_(fraction) {}
    float Evaluate(float t) override;

private:
    float base_, frequency_, fraction_;
};

// Four falling arcs, each a quarter of the height of the next.
class InBounce : public EasingCurve {
public:
    float Evaluate(float t) override;
};

// The inner curve mirrored: 1 - inner(1 - t).
class OutCurve : public EasingCurve {
public:
    explicit OutCurve(std::unique_ptr<EasingCurve> inner);
    float Evaluate(float t) override;

private:
    std::unique_ptr<EasingCurve> inner_;
};

// The inner curve on the first half, its mirror on the second.
class InOutCurve : public EasingCurve {
public:
    explicit InOutCurve(std::unique_ptr<EasingCurve> inner);
    float Evaluate(float t) override;

private:
    std::unique_ptr<EasingCurve> inner_;
};

// The in-out rule over the mirrored curve: eases out of the start, into the end.
class OutInCurve : public InOutCurve {
public:
    explicit OutInCurve(std::unique_ptr<EasingCurve> curve)
        : InOutCurve(std::make_unique<OutCurve>(std::move(curve))) {}
};
