#pragma once
// Binder: sets fields from expressions at every update, for as long as it
// lives. Its expressions see a copy of the variables it was made with, plus
// "time_ptr", a field handle on the time since the binder started (read it
// with realptr). A result that is not a finite number leaves its field as
// it was. Main thread only.

#include <string>
#include <vector>

#include "foundation/expression/expression.h"
#include "foundation/values/field_handle.h"
#include "widgets/motion/controller.h"

struct BindTarget {
    float* field;
    std::wstring expression;
};

class Binder : public Controller {
public:
    // `source` may be null: the expressions then see only "time_ptr".
    Binder(std::wstring name, DynamicWidget* widget, const VariableMap* source, uint32_t changeBits,
           std::vector<BindTarget> targets);
    bool Update(float x) override;

private:
    VariableMap variables_;
    ExpressionEvaluator evaluator_;
    FieldHandle timeHandle_;
    std::vector<BindTarget> targets_;
};
