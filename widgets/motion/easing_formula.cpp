#include "widgets/motion/easing_formula.h"

#include <cmath>

CurveFormula::CurveFormula(std::wstring_view text, const VariableMap* variables)
    : text_(text), variables_(variables ? *variables : VariableMap{}), t_(&variables_[L"t"]), evaluator_(variables_) {}

float CurveFormula::Evaluate(float t, float fallback) {
    *t_ = PropertyValue(t);
    float v = evaluator_.Evaluate(text_).ToReal();
    return std::isfinite(v) ? v : fallback;
}

float ExpressionCurve::Evaluate(float t) { return formula_.Evaluate(t, t); }
