// Binder.

#include "widgets/motion/controller_binder.h"

#include <cmath>

Binder::Binder(std::wstring name, DynamicWidget* widget, const VariableMap* source, uint32_t changeBits,
               std::vector<BindTarget> targets)
    : Controller(std::move(name), widget, nullptr, false, changeBits),
      variables_(source ? *source : VariableMap{}),
      evaluator_(variables_),
      timeHandle_(&progress_),
      targets_(std::move(targets)) {
    variables_[L"time_ptr"] = timeHandle_.Value();
}

bool Binder::Update(float x) {
    // The time runs in update units whatever the rate.
    progress_ += x;
    for (const BindTarget& t : targets_) {
        const float v = evaluator_.Evaluate(t.expression).ToReal();
        // NaN in a position or scale would poison the transform for good.
        if (std::isfinite(v)) *t.field = v;
    }
    Refresh();
    return false;
}
