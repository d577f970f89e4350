// "overlay": a full-screen script widget added to the root of the tree,
// given the step's other attributes as its own variables.
#include "widgets/controls/overlay_animation.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"
#include "widgets/tree/widget_manager.h"

namespace {

WordResult Overlay(AnimationWidget& widget, const AnimationStep& step, DynamicWidget*) {
    const std::wstring animation = widget.StepAttributeString(L"animation");
    WidgetManager* manager = widget.GetManager();
    if (!manager || !AnimationExists(animation)) return WordResult::kNext;
    auto* overlay = new OverlayAnimation(animation);
    overlay->SetRemovalListener(&widget);
    widget.RunningAnimations()[overlay->GetId()] = overlay;
    widget.Watch(overlay);
    for (const auto& attribute : step.attributes) {
        const std::wstring& name = attribute.first;
        if (name != L"id" && name != L"animation") overlay->SetVariable(name, widget.EvalStepAttribute(name));
    }
    if (widget.StepHasAttribute(L"id"))
        widget.SetVariable(widget.StepAttributeString(L"id"), PropertyValue::FromWidget(overlay));
    widget.RecordObject(overlay);
    manager->AddWidget(overlay);
    return WordResult::kNext;
}

}  // namespace

void RegisterOverlayWords(ScriptWords& words) { words.Register(WordGroup::kNoObject, L"overlay", Overlay); }
