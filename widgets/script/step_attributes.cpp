// How words read the current step: every attribute is an expression
// evaluated afresh at each use with the widget's variables.
#include "foundation/system/app_services.h"
#include "rendering/image/image.h"
#include "widgets/script/animation_widget.h"

namespace {

// The step's text of `name`, or none; the forms with a fallback find it
// once, as a wait's condition is asked at every step.
const ExpressionText* FindStepText(const AnimationStep* step, std::wstring_view name) {
    if (!step) return nullptr;
    auto it = step->attributes.find(name);
    return it == step->attributes.end() ? nullptr : &it->second;
}

}  // namespace

const AnimationStep* AnimationWidget::CurrentStep() const {
    if (!cursor_.list || cursor_.index < 0 || static_cast<size_t>(cursor_.index) >= cursor_.list->size())
        return nullptr;
    return &(*cursor_.list)[cursor_.index];
}

bool AnimationWidget::StepHasAttribute(std::wstring_view name) const {
    return FindStepText(CurrentStep(), name) != nullptr;
}

const ExpressionText& AnimationWidget::StepAttributeText(std::wstring_view name) const {
    static const ExpressionText empty;
    const ExpressionText* text = FindStepText(CurrentStep(), name);
    return text ? *text : empty;
}

PropertyValue AnimationWidget::EvalStepAttribute(std::wstring_view name) {
    // The text lives in the library, which keeps every step while the
    // program runs, so it outlives whatever the evaluation does to the cursor.
    return evaluator_.Evaluate(StepAttributeText(name));
}

std::wstring AnimationWidget::StepAttributeString(std::wstring_view name) { return EvalStepAttribute(name).ToString(); }

int AnimationWidget::StepAttributeInt(std::wstring_view name) { return EvalStepAttribute(name).ToInt(); }

int AnimationWidget::StepAttributeIntOr(std::wstring_view name, int fallback) {
    const ExpressionText* text = FindStepText(CurrentStep(), name);
    return text ? evaluator_.Evaluate(*text).ToInt() : fallback;
}

float AnimationWidget::StepAttributeFloat(std::wstring_view name) { return EvalStepAttribute(name).ToReal(); }

float AnimationWidget::StepAttributeFloatOr(std::wstring_view name, float fallback) {
    const ExpressionText* text = FindStepText(CurrentStep(), name);
    return text ? evaluator_.Evaluate(*text).ToReal() : fallback;
}

bool AnimationWidget::StepAttributeBool(std::wstring_view name) { return EvalStepAttribute(name).ToBool(); }

bool AnimationWidget::StepAttributeBoolOr(std::wstring_view name, bool fallback) {
    const ExpressionText* text = FindStepText(CurrentStep(), name);
    return text ? evaluator_.Evaluate(*text).ToBool() : fallback;
}

Image* AnimationWidget::StepAttributeImage(std::wstring_view name) {
    PropertyValue value = EvalStepAttribute(name);
    if (value.Is(PropertyValue::Tag::Image)) return value.ToImage<Image>();
    return dynamic_cast<Image*>(FindImageByName(value.ToString()));
}

int AnimationWidget::StepAttributeSound(std::wstring_view name) { return FindSoundId(StepAttributeString(name)); }

int AnimationWidget::StepAttributeTrack(std::wstring_view name) { return FindTrackId(StepAttributeString(name)); }

float AlignValue(float value, const Widget& object, bool vertical, std::wstring_view keyword) {
    const int size = vertical ? object.GetHeight() : object.GetWidth();
    if (keyword == L"center") return value - static_cast<float>(size / 2);
    if (keyword == (vertical ? L"bottom" : L"right")) return value - static_cast<float>(size);
    return value;
}

DynamicWidget* AnimationWidget::FindObject(std::wstring_view attribute) {
    PropertyValue value = EvalStepAttribute(attribute);
    if (value.Is(PropertyValue::Tag::Widget)) return value.ToWidget<DynamicWidget>();
    auto it = variables_.find(value.ToString());
    return it == variables_.end() ? nullptr : it->second.ToWidget<DynamicWidget>();
}

double AnimationWidget::GetNumberVariable(std::wstring_view name) const {
    auto it = variables_.find(name);
    return it == variables_.end() ? 0.0 : it->second.ToReal();
}

std::vector<PropertyValue> AnimationWidget::ResolvePropertyPtr(std::wstring_view attribute, bool split) {
    if (!StepHasAttribute(attribute)) return {};
    const std::wstring& text = StepAttributeText(attribute);
    return split ? evaluator_.SplitList(text) : evaluator_.EvaluateList(text);
}

const PropertyValue& AnimationWidget::GetLocalVariable(std::wstring_view name) const {
    // Handed out by reference to every caller, so nobody may write it.
    static const PropertyValue none;
    auto it = variables_.find(name);
    return it == variables_.end() ? none : it->second;
}

int AnimationWidget::UndefineVariable(std::wstring_view name) {
    auto it = variables_.find(name);
    if (it == variables_.end()) return 0;
    variables_.erase(it);
    return 1;
}
