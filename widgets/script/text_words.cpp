// "analyze": measures a text in a font into variables.
#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_text.h"
#include "widgets/script/word_families.h"
#include "widgets/script/word_support.h"

namespace {

WordResult Analyze(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    if (!widget.StepHasAttribute(L"font")) return WordResult::kNext;
    Font* font = StepAttributeFont(widget, L"font");
    const std::wstring text =
        ScriptDisplayText(widget.StepAttributeString(L"text"), widget.StepAttributeBoolOr(L"lookup", true));
    Graphics measure(nullptr);
    measure.SetFont(font);
    int width = 0;
    const int height =
        Graphics::GetWordWrappedHeight(&measure, widget.StepAttributeIntOr(L"maxWidth", 10000), text, &width);
    if (widget.StepHasAttribute(L"width")) widget.SetVariable(widget.StepAttributeText(L"width"), PropertyValue(width));
    if (widget.StepHasAttribute(L"height"))
        widget.SetVariable(widget.StepAttributeText(L"height"), PropertyValue(height));
    if (widget.StepHasAttribute(L"ascent"))
        widget.SetVariable(widget.StepAttributeText(L"ascent"), PropertyValue(font ? font->GetAscent() : 0.0f));
    return WordResult::kNext;
}

}  // namespace

void RegisterTextWords(ScriptWords& words) { words.Register(WordGroup::kNoObjectFound, L"analyze", Analyze); }
