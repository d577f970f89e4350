// Expressions: the input, as UTF-8 text, is evaluated as one expression, as
// a list of expressions and split into its top-level pieces, against
// variables of each kind (a field handle among them) and the tables the
// built-ins read (constants, localisation, the player's symbols).
#include <cstdint>
#include <string_view>

#include "foundation/expression/expression.h"
#include "foundation/system/text.h"
#include "foundation/values/field_handle.h"
#include "fuzz/harness.h"

namespace {

// A field that intptr() and realptr() can reach through its handle's id.
struct Fields {
    int32_t count = 7;
    float speed = 2.5f;
    FieldHandle countHandle{&count};
    FieldHandle speedHandle{&speed};
};

VariableMap MakeVariables(const Fields& fields) {
    VariableMap variables;
    variables[L"state"] = PropertyValue(2);
    variables[L"timer"] = PropertyValue(37.5f);
    variables[L"visible"] = PropertyValue(true);
    variables[L"label"] = PropertyValue(L"button_up");
    variables[L"tint"] = PropertyValue(Color::FromRGBA(255, 128, 0, 200));
    variables[L"count_ptr"] = fields.countHandle.Value();
    variables[L"speed_ptr"] = fields.speedHandle.Value();
    return variables;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Fields fields;
    fuzz::ResetSharedState();
    const std::wstring text = text::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    VariableMap variables = MakeVariables(fields);
    ExpressionEvaluator evaluator(variables);
    double sum = evaluator.Evaluate(text).ToString().size();
    for (const PropertyValue& value : evaluator.EvaluateList(text)) sum += value.ToReal();
    sum += static_cast<double>(evaluator.SplitList(text).size());
    fuzz::Keep(sum);
    return 0;
}
