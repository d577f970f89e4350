// Labels and rectangles: "add-label" (fixed text or a live expression),
// "config-label" and "add-rect".
#include "foundation/values/saturate.h"
#include "widgets/controls/expression_text_widget.h"
#include "widgets/controls/rect_widget.h"
#include "widgets/controls/text_label.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_text.h"
#include "widgets/script/word_families.h"
#include "widgets/script/word_support.h"

namespace {

WordResult AddLabel(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    const int justification = SignedAlignCode(widget.StepAttributeString(L"justification"), L"right");
    const int align = SignedAlignCode(widget.StepAttributeString(L"align"), L"right");
    const int valign = SignedAlignCode(widget.StepAttributeString(L"valign"), L"bottom");
    const int x = widget.StepAttributeIntOr(L"x", 0), y = widget.StepAttributeIntOr(L"y", 0);
    const int width = widget.StepAttributeIntOr(L"width", 0);
    const std::wstring font = widget.StepAttributeString(L"font");
    DynamicWidget* label;
    if (widget.StepHasAttribute(L"text")) {
        std::wstring caption =
            ScriptDisplayText(widget.StepAttributeString(L"text"), widget.StepAttributeBoolOr(L"lookup", true));
        label = new TextLabel(x, y, std::move(caption), font, width, justification, align, valign);
    } else {
        label = new ExpressionTextWidget(&widget, widget.StepAttributeText(L"expression"), x, y, font, width,
                                         justification, align, valign);
    }
    if (widget.StepHasAttribute(L"depth")) label->SetPriority(widget.StepAttributeInt(L"depth"));
    if (widget.StepHasAttribute(L"opacity"))
        label->SetFloatProperty(L"opacity", widget.StepAttributeFloat(L"opacity"), false);
    widget.RegisterObject(widget.StepAttributeString(L"id"), label);
    return WordResult::kNext;
}

WordResult ConfigLabel(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    auto* label = dynamic_cast<TextLabel*>(object);
    if (!label) return WordResult::kNext;
    if (widget.StepHasAttribute(L"font")) label->SetFontName(widget.StepAttributeString(L"font"));
    if (widget.StepHasAttribute(L"text"))
        label->SetText(
            ScriptDisplayText(widget.StepAttributeString(L"text"), widget.StepAttributeBoolOr(L"lookup", true)));
    if (widget.StepHasAttribute(L"justification"))
        label->SetJustification(SignedAlignCode(widget.StepAttributeString(L"justification"), L"right"));
    return WordResult::kNext;
}

// The direct form: "right"/"bottom" take the whole size, "center" half.
int AlignDirect(int value, int size, std::wstring_view keyword, std::wstring_view far) {
    if (keyword == far) return ClampHalfInt(int64_t{value} - size);
    if (keyword == L"center") return ClampHalfInt(int64_t{value} - size / 2);
    return value;
}

WordResult AddRect(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    const int width = widget.StepAttributeIntOr(L"width", 0), height = widget.StepAttributeIntOr(L"height", 0);
    const int x =
        AlignDirect(widget.StepAttributeIntOr(L"x", 0), width, widget.StepAttributeString(L"align"), L"right");
    const int y =
        AlignDirect(widget.StepAttributeIntOr(L"y", 0), height, widget.StepAttributeString(L"valign"), L"bottom");
    auto* rect = new RectWidget(ColorFromFractions(widget, 0.0f), x, y, width, height);
    if (widget.StepHasAttribute(L"opacity"))
        rect->SetFloatProperty(L"opacity", widget.StepAttributeFloat(L"opacity"), false);
    rect->SetPriority(widget.StepAttributeIntOr(L"depth", 0));
    widget.RegisterObject(widget.StepAttributeString(L"id"), rect);
    return WordResult::kNext;
}

}  // namespace

void RegisterLabelWords(ScriptWords& words) {
    words.Register(WordGroup::kNoObject, L"add-label", AddLabel);
    words.Register(WordGroup::kNoObject, L"add-rect", AddRect);
    words.Register(WordGroup::kObject, L"config-label", ConfigLabel);
}
