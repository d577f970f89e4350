#pragma once
// Curves and waves written as expressions in t.
//
// A formula keeps its own copy of the variables it was made with (the
// creating script's locals), so later changes to the script's variables do
// not reach it; before each evaluation "t" in that copy is set to the
// input, shadowing any local of that name. The text is parsed afresh on
// every call: a formula without calls allocates nothing, a call allocates
// its argument list. A formula that evaluates itself (eval of a variable
// holding its own text) stops at the evaluator's nesting cap and reads 0.
// Not copyable: the evaluator is bound to the formula's own map.

#include <string>
#include <string_view>

#include "foundation/expression/expression.h"
#include "widgets/motion/easing_curve.h"

class CurveFormula {
public:
    // variables may be null: the formula then sees only "t".
    CurveFormula(std::wstring_view text, const VariableMap* variables);
    CurveFormula(const CurveFormula&) = delete;
    CurveFormula& operator=(const CurveFormula&) = delete;

    // The text's value as a number with "t" bound to t; fallback when that
    // is NaN or infinite (a root of a negative number, a logarithm of 0).
    float Evaluate(float t, float fallback);
    const std::wstring& Text() const { return text_; }

private:
    std::wstring text_;
    VariableMap variables_;
    // The entry of "t" in variables_, set in place so no key is built per call.
    PropertyValue* t_;
    ExpressionEvaluator evaluator_;
};

// A curve whose value is its formula, as the scripts name any curve that
// is not built in. Where the formula gives no finite value it yields t.
class ExpressionCurve : public EasingCurve {
public:
    ExpressionCurve(std::wstring_view text, const VariableMap* variables) : formula_(text, variables) {}
    float Evaluate(float t) override;
    const std::wstring& Text() const { return formula_.Text(); }

private:
    CurveFormula formula_;
};
