// Words that pick and cycle frames, cross-fade between them, make an object
// blink, and set its mask image and mask rectangle. The stepping they start
// runs in the object's own updates. A frame outside the image's cels is kept
// as given: such a frame draws nothing and is never hit.
#include "widgets/script/animation_widget.h"
#include "widgets/script/step_values.h"
#include "widgets/script/word_families.h"

namespace {

// The animator mode a "dir" keyword asks for.
int CycleMode(const std::wstring& dir) {
    if (dir == L"back") return -1;
    if (dir == L"both") return 0;
    if (dir == L"random") return 2;
    return 1;
}

WordResult SetFrame(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetFrame(widget.StepAttributeInt(L"frame"));
    return WordResult::kNext;
}

WordResult FadeToFrame(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->FadeToFrame(widget.StepAttributeInt(L"frame"), widget.StepAttributeFloatOr(L"time", 20.0f),
                        StepCurve(widget));
    return WordResult::kNext;
}

WordResult Cycle(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    if (widget.StepHasAttribute(L"frame")) object->SetFrame(widget.StepAttributeInt(L"frame"));
    object->CycleFrames(0, widget.StepAttributeFloat(L"rate"), widget.StepAttributeInt(L"cycles"),
                        widget.StepAttributeFloat(L"timer"), widget.StepAttributeInt(L"min"),
                        widget.StepAttributeIntOr(L"max", -1), widget.StepAttributeFloat(L"crossfade"),
                        CycleMode(widget.StepAttributeString(L"dir")));
    return WordResult::kNext;
}

WordResult CycleMask(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    if (widget.StepHasAttribute(L"frame")) object->SetMaskFrame(widget.StepAttributeInt(L"frame"));
    object->CycleFrames(1, widget.StepAttributeFloat(L"rate"), widget.StepAttributeInt(L"cycles"), 0.0f,
                        widget.StepAttributeInt(L"min"), widget.StepAttributeIntOr(L"max", -1), 0.0f,
                        CycleMode(widget.StepAttributeString(L"dir")));
    return WordResult::kNext;
}

WordResult SetMaskFrame(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetMaskFrame(widget.StepAttributeInt(L"frame"));
    return WordResult::kNext;
}

WordResult SetMask(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetMask(widget.StepHasAttribute(L"image") ? widget.StepAttributeImage(L"image") : nullptr);
    return WordResult::kNext;
}

WordResult MaskRect(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetMaskRect(
        static_cast<float>(widget.StepAttributeInt(L"x")), static_cast<float>(widget.StepAttributeInt(L"y")),
        static_cast<float>(widget.StepAttributeInt(L"width")), static_cast<float>(widget.StepAttributeInt(L"height")),
        widget.StepAttributeBoolOr(L"enable", true));
    object->MarkDirty();
    return WordResult::kNext;
}

WordResult FlashWord(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->Flash(widget.StepAttributeInt(L"interval"), widget.StepAttributeInt(L"cycles"),
                  widget.StepAttributeIntOr(L"timer_init", -20));
    return WordResult::kNext;
}

}  // namespace

void RegisterFrameWords(ScriptWords& words) {
    const std::pair<const wchar_t*, WordFunction> objectWords[] = {
        {L"set-frame", SetFrame},
        {L"fade-to-frame", FadeToFrame},
        {L"cycle", Cycle},
        {L"cycle-mask", CycleMask},
        {L"set-mask-frame", SetMaskFrame},
        {L"set-mask", SetMask},
        {L"mask-rect", MaskRect},
        {L"flash", FlashWord},
    };
    for (const auto& [name, word] : objectWords) words.Register(WordGroup::kObject, name, word);
}
