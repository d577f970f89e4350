#pragma once
// Curves made from the names scene scripts give them: "linear", or one of
// quad, cubic, quart, quint, sine, expo, circ, elastic, back, bounce behind
// "in_", "out_", "in_out_" or "out_in_"; any other name is a formula in t.
//
// A name's numeric parameters ("base", "period", "fraction", "accel") come
// from the step being run, and a formula copies the running script's local
// variables when it is made; both reach the factory through an
// EasingCurveSource, which the running script widget provides. Without a
// source every parameter takes its default and a formula sees only "t".
// A parameter that is not a finite number is taken as absent. Prefixes may
// nest ("out_out_quad"), but only kMaxCurveNesting deep: a deeper name is
// taken as linear rather than building a tower of wrappers.
// Never returns null; the caller owns the curve. Main thread only.

#include <memory>
#include <optional>
#include <string_view>

#include "foundation/expression/variables.h"
#include "widgets/motion/easing_curve.h"

// The step being run and the widget running it, as a curve sees them.
class EasingCurveSource {
public:
    virtual ~EasingCurveSource() = default;
    // The step's attribute of that name, evaluated; nullopt when absent.
    virtual std::optional<PropertyValue> CurveAttribute(std::wstring_view name) = 0;
    // The running script's local variables.
    virtual const VariableMap& CurveVariables() const = 0;
};

constexpr int kMaxCurveNesting = 16;

std::unique_ptr<EasingCurve> MakeEasingCurve(std::wstring_view name, EasingCurveSource* source = nullptr);

// The curve a step's "curve" attribute asks for, given its raw (unevaluated)
// text, empty when the step has none: a local variable of that name
// supplies the name as its text, otherwise the text is the name.
std::unique_ptr<EasingCurve> ReadCurveAttribute(std::wstring_view rawCurve, EasingCurveSource* source = nullptr);
