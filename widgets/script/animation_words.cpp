// Words that start animations (as new widgets, in other widgets, after the
// running script), remove objects, set what objects do when done, show a
// notice menu and pass an action up the parents.
#include <initializer_list>

#include "widgets/script/animation_widget.h"
#include "widgets/script/script_menu.h"
#include "widgets/script/word_families.h"

namespace {

bool Listed(const std::wstring& name, std::initializer_list<std::wstring_view> names) {
    for (std::wstring_view n : names)
        if (n == name) return true;
    return false;
}

// Every attribute not named in `skip`, evaluated in the running widget,
// becomes a local variable of the target.
void PassParameters(AnimationWidget& widget, const AnimationStep& step, AnimationWidget& target,
                    std::initializer_list<std::wstring_view> skip) {
    for (const auto& [name, text] : step.attributes)
        if (!Listed(name, skip)) target.SetVariable(name, widget.EvalStepAttribute(name));
}

void StartChild(AnimationWidget& widget, AnimationWidget* child) {
    widget.RunningAnimations()[child->GetId()] = child;
    widget.Watch(child);
}

WordResult Play(AnimationWidget& widget, const AnimationStep& step, DynamicWidget*) {
    const std::wstring name = widget.StepAttributeString(L"animation");
    if (!AnimationExists(name)) return WordResult::kNext;
    auto* child = new AnimationWidget(name, widget.StepAttributeInt(L"x"), widget.StepAttributeInt(L"y"),
                                      widget.StepAttributeBoolOr(L"remove", true));
    child->SetPriority(widget.StepAttributeInt(L"depth"));
    StartChild(widget, child);
    PassParameters(widget, step, *child, {L"id", L"animation", L"x", L"y", L"depth", L"remove"});
    widget.RegisterObject(widget.StepAttributeString(L"id"), child);
    return WordResult::kNext;
}

WordResult Spawn(AnimationWidget& widget, const AnimationStep& step, DynamicWidget*) {
    const std::wstring name = widget.StepAttributeString(L"animation");
    if (!AnimationExists(name)) return WordResult::kNext;
    auto* child = new AnimationWidget(name, 0, 0, widget.StepAttributeBoolOr(L"remove", true));
    StartChild(widget, child);
    // Same layer, a copy of the variables: what the spawned script changes stays its own.
    child->SetLayer(dynamic_cast<DynamicWidget*>(widget.GetLayer()));
    child->Variables() = widget.Variables();
    child->SetVariable(L"self", PropertyValue::FromWidget(child));
    PassParameters(widget, step, *child, {L"id", L"animation", L"remove"});
    widget.RegisterObject(widget.StepAttributeString(L"id"), child);
    return WordResult::kNext;
}

WordResult PlayIn(AnimationWidget& widget, const AnimationStep& step, DynamicWidget* object) {
    auto* target = dynamic_cast<AnimationWidget*>(object);
    if (!target) return WordResult::kNext;
    PassParameters(widget, step, *target, {L"id", L"animation"});
    target->PlayAnimationNamed(widget.StepAttributeString(L"animation"));
    return WordResult::kNext;
}

WordResult LoadAfter(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    widget.PushAnimationNamed(widget.StepAttributeString(L"animation"));
    return WordResult::kNext;
}

WordResult Remove(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    object->RemoveSelf();
    return WordResult::kNext;
}

WordResult WhenDone(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    if (widget.StepHasAttribute(L"hide")) object->HideWhenDone(widget.StepAttributeBool(L"hide"));
    if (widget.StepHasAttribute(L"stop_crossfading"))
        object->ClearFlagWhenDone(widget.StepAttributeBool(L"stop_crossfading"));
    if (widget.StepHasAttribute(L"stop_recursion"))
        object->ResetModesWhenDone(widget.StepAttributeBool(L"stop_recursion"));
    if (widget.StepHasAttribute(L"remove")) object->RemoveWhenDone(widget.StepAttributeBool(L"remove"));
    return WordResult::kNext;
}

WordResult NoticeMenu(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    if (DynamicWidget* shown = widget.GetNoticeMenu()) shown->RemoveSelf();
    widget.SetNoticeMenu(nullptr, false, false);
    DynamicWidget* menu = OpenNoticeMenu(widget.StepAttributeString(L"text"), &widget);
    // Nothing took the menu: waiting for its removal would never end.
    if (!menu) return WordResult::kNext;
    if (widget.StepAttributeBool(L"continue")) {
        widget.SetNoticeMenu(menu, false, false);
        return WordResult::kEndRun;
    }
    const bool unpause = widget.StepAttributeBoolOr(L"unpause", true);
    bool saved = false;
    ScriptMenu* owner = unpause ? ScriptMenuOf(widget) : nullptr;
    if (owner) saved = owner->SetPausable(false);
    widget.SetNoticeMenu(menu, owner != nullptr, saved);
    widget.SetWaitKind(AnimationWidget::kNoticeMenu);
    return WordResult::kStop;
}

WordResult Do(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    widget.DoAction(widget.StepAttributeString(L"action"), widget.StepAttributeString(L"parameter"),
                    widget.StepAttributeInt(L"object"));
    return WordResult::kNext;
}

}  // namespace

void RegisterAnimationWords(ScriptWords& words) {
    words.Register(WordGroup::kNoObject, L"play", Play);
    words.Register(WordGroup::kNoObject, L"spawn", Spawn);
    words.Register(WordGroup::kNoObject, L"load-after", LoadAfter);
    words.Register(WordGroup::kNoObject, L"notice-menu", NoticeMenu);
    words.Register(WordGroup::kObject, L"play-in", PlayIn);
    words.Register(WordGroup::kObject, L"remove", Remove);
    words.Register(WordGroup::kObject, L"when-done", WhenDone);
    words.Register(WordGroup::kNoObjectFound, L"do", Do);
}
