// Words that define, assign and remove script variables: the running
// widget's own, another animation widget's ("-in"), and the current
// player's global ones (nothing happens while no player is current).
#include "foundation/system/app_services.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"

namespace {

// Every attribute of the step (but `skip`) evaluated into `target`, in the
// order of the attribute names.
void DefineAll(AnimationWidget& widget, const AnimationStep& step, VariableMap& target, std::wstring_view skip = {}) {
    for (const auto& [name, text] : step.attributes)
        if (name != skip) target[name] = widget.EvalStepAttribute(name);
}

WordResult Define(AnimationWidget& widget, const AnimationStep& step, DynamicWidget*) {
    DefineAll(widget, step, widget.Variables());
    return WordResult::kNext;
}

WordResult DefineGlobal(AnimationWidget& widget, const AnimationStep& step, DynamicWidget*) {
    if (VariableMap* globals = CurrentPlayerSymbols()) DefineAll(widget, step, *globals);
    return WordResult::kNext;
}

WordResult Assign(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    widget.SetVariable(widget.StepAttributeString(L"name"), widget.EvalStepAttribute(L"value"));
    return WordResult::kNext;
}

WordResult AssignGlobal(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    if (VariableMap* globals = CurrentPlayerSymbols())
        (*globals)[widget.StepAttributeString(L"name")] = widget.EvalStepAttribute(L"value");
    return WordResult::kNext;
}

void Erase(VariableMap& variables, const std::wstring& name) {
    if (auto it = variables.find(name); it != variables.end()) variables.erase(it);
}

WordResult Undefine(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    Erase(widget.Variables(), widget.StepAttributeText(L"name"));
    return WordResult::kNext;
}

WordResult UndefineGlobal(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    if (VariableMap* globals = CurrentPlayerSymbols()) Erase(*globals, widget.StepAttributeText(L"name"));
    return WordResult::kNext;
}

WordResult DefineIn(AnimationWidget& widget, const AnimationStep& step, DynamicWidget* object) {
    if (auto* other = dynamic_cast<AnimationWidget*>(object)) DefineAll(widget, step, other->Variables(), L"id");
    return WordResult::kNext;
}

WordResult AssignIn(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    if (auto* other = dynamic_cast<AnimationWidget*>(object))
        other->SetVariable(widget.StepAttributeString(L"name"), widget.EvalStepAttribute(L"value"));
    return WordResult::kNext;
}

WordResult UndefineIn(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    if (auto* other = dynamic_cast<AnimationWidget*>(object))
        Erase(other->Variables(), widget.StepAttributeText(L"name"));
    return WordResult::kNext;
}

}  // namespace

void RegisterVariableWords(ScriptWords& words) {
    words.Register(WordGroup::kNoObject, L"define", Define);
    words.Register(WordGroup::kNoObject, L"define-global", DefineGlobal);
    words.Register(WordGroup::kNoObject, L"assign", Assign);
    words.Register(WordGroup::kNoObject, L"assign-global", AssignGlobal);
    words.Register(WordGroup::kNoObjectFound, L"undefine", Undefine);
    words.Register(WordGroup::kNoObjectFound, L"undefine-global", UndefineGlobal);
    words.Register(WordGroup::kObject, L"define-in", DefineIn);
    words.Register(WordGroup::kObject, L"assign-in", AssignIn);
    words.Register(WordGroup::kObject, L"undefine-in", UndefineIn);
}
