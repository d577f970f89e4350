#include "widgets/script/step_values.h"

#include "foundation/files/parser.h"
#include "widgets/motion/easing_factory.h"
#include "widgets/script/animation_widget.h"

namespace {

// The running step as the curve factory sees it.
class StepCurveSource : public EasingCurveSource {
public:
    explicit StepCurveSource(AnimationWidget& widget) : widget_(widget) {}
    std::optional<PropertyValue> CurveAttribute(std::wstring_view name) override {
        if (!widget_.StepHasAttribute(name)) return std::nullopt;
        return widget_.EvalStepAttribute(name);
    }
    const VariableMap& CurveVariables() const override { return widget_.Variables(); }

private:
    AnimationWidget& widget_;
};

}  // namespace

float ListValueToFloat(const PropertyValue& value) {
    // Printed and read back, a real below 1e-4 or from 1e6 on takes an
    // exponent the text reader stops at, and would come back as 0.
    if (value.Is(PropertyValue::Tag::Int) || value.Is(PropertyValue::Tag::Real)) return value.ToReal();
    return TextToFloat(value.ToString());
}

std::vector<float> StepValueList(AnimationWidget& widget, std::wstring_view name) {
    std::vector<float> out;
    if (!widget.StepHasAttribute(name)) return out;
    for (const PropertyValue& v : widget.Evaluator().EvaluateList(widget.StepAttributeText(name)))
        out.push_back(ListValueToFloat(v));
    return out;
}

std::vector<std::wstring> StepTextList(AnimationWidget& widget, std::wstring_view name) {
    std::vector<std::wstring> out;
    if (!widget.StepHasAttribute(name)) return out;
    for (const PropertyValue& v : widget.Evaluator().EvaluateList(widget.StepAttributeText(name)))
        out.push_back(v.ToString());
    return out;
}

std::vector<std::wstring> StepNameList(AnimationWidget& widget, std::wstring_view name) {
    std::vector<std::wstring> out;
    if (!widget.StepHasAttribute(name)) return out;
    for (const PropertyValue& v : widget.Evaluator().SplitList(widget.StepAttributeText(name)))
        out.push_back(v.ToString());
    return out;
}

float PaddedValue(const std::vector<float>& list, size_t i, float fallback) {
    if (list.empty()) return fallback;
    return i < list.size() ? list[i] : list.back();
}

StepFields StepPropertyFields(AnimationWidget& widget, DynamicWidget& object) {
    StepFields out;
    for (const std::wstring& name : StepNameList(widget, L"property"))
        if (float* field = object.GetPropertyPtr(name, out.mask)) out.fields.push_back(field);
    return out;
}

void AlignFields(AnimationWidget& widget, DynamicWidget& object, const std::vector<float*>& fields,
                 std::vector<float>& values) {
    const std::vector<std::wstring> align = StepTextList(widget, L"align");
    uint32_t ignored = 0;
    const float* x = object.GetPropertyPtr(L"x", ignored);
    const float* y = object.GetPropertyPtr(L"y", ignored);
    for (size_t i = 0; i < align.size() && i < fields.size() && i < values.size(); ++i) {
        if (fields[i] == x) values[i] = AlignValue(values[i], object, false, align[i]);
        if (fields[i] == y) values[i] = AlignValue(values[i], object, true, align[i]);
    }
}

std::unique_ptr<EasingCurve> StepCurve(AnimationWidget& widget) {
    StepCurveSource source(widget);
    return ReadCurveAttribute(widget.StepAttributeText(L"curve"), &source);
}
