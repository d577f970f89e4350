#pragma once
// Waves: the periodic maps through which an oscillation turns its phase
// into the share of its amplitude it adds to a property.
//
// Sine and zigzag run one cycle per 1.0 of phase and stay within -1..1 for
// every phase, negative ones included; the noise wave wanders within the
// noise's range and repeats every 256. A phase that is NaN or infinite (an
// oscillation with a rate of 0) reads as 0, the rest position, so no wave
// ever hands NaN to a widget. A formula wave yields 0 where its formula
// has no finite value. Waves own what they hold and are deleted through
// the base. Main thread only.

#include <string>
#include <string_view>

#include "widgets/motion/easing_formula.h"

class OscillatingCurve {
public:
    OscillatingCurve() = default;
    OscillatingCurve(const OscillatingCurve&) = delete;
    OscillatingCurve& operator=(const OscillatingCurve&) = delete;
    virtual ~OscillatingCurve() = default;

    virtual double Evaluate(double phase) = 0;
};

// sin(2 pi phase).
class SineWave : public OscillatingCurve {
public:
    double Evaluate(double phase) override;
};

// A triangle in step with the sine: 0 at 0, 1 at 0.25, -1 at 0.75.
class ZigZagWave : public OscillatingCurve {
public:
    double Evaluate(double phase) override;
};

// The gradient noise at the phase; needs the noise tables filled at start-up.
class NoiseWave : public OscillatingCurve {
public:
    double Evaluate(double phase) override;
};

// A wave written as an expression in t, the phase.
class ExpressionWave : public OscillatingCurve {
public:
    ExpressionWave(std::wstring_view text, const VariableMap* variables) : formula_(text, variables) {}
    double Evaluate(double phase) override;
    const std::wstring& Text() const { return formula_.Text(); }

private:
    CurveFormula formula_;
};
