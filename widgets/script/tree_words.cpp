// Words that rearrange the widget tree and switch how a widget takes part in
// the passes: re-parenting, size, depth and order, removing children,
// visibility, the input flags and the pass-flag masks.
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"
#include "widgets/script/word_support.h"
#include "widgets/tree/pass_flags.h"

namespace {

WordResult Attach(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    DynamicWidget* to = widget.FindObject(L"to");
    // A widget inside itself or its own subtree would make the tree a cycle
    // and leave the widget out of every tree once removed: refused whole.
    if (!to || IsWithin(to, object)) return WordResult::kNext;
    LocalPoint from{0.0f, 0.0f};
    if (const WidgetContainer* parent = object->GetParent()) from = ScreenOrigin(*parent);
    const LocalPoint onto = ScreenOrigin(*to);
    const bool deleteOnRemoval = object->GetDeleteOnRemoval();
    object->SetDeleteOnRemoval(false);
    object->RemoveSelf();
    object->SetDeleteOnRemoval(deleteOnRemoval);
    // Joining may run the object's script, which may remove the layer.
    const LiveRef<DynamicWidget> layer = widget.GetLayerRef();
    widget.SetLayer(to);
    widget.RegisterObject(widget.StepAttributeString(L"id"), object);
    widget.SetLayer(layer);
    object->SetPosition(L"x", L"y", from.x - onto.x, from.y - onto.y, true);
    return WordResult::kNext;
}

WordResult Resize(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    const int width = widget.StepAttributeIntOr(L"width", object->GetWidth());
    const int height = widget.StepAttributeIntOr(L"height", object->GetHeight());
    object->Resize(object->GetX(), object->GetY(), width, height);
    object->MarkDirty();
    return WordResult::kNext;
}

WordResult SetDepth(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetPriority(widget.StepAttributeInt(L"depth"));
    if (WidgetContainer* parent = object->GetParent()) parent->SortChildren();
    return WordResult::kNext;
}

WordResult BringToFront(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    if (WidgetContainer* parent = object->GetParent()) parent->BringToFront(object);
    return WordResult::kNext;
}

WordResult BringToBack(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    if (WidgetContainer* parent = object->GetParent()) parent->BringToBack(object);
    return WordResult::kNext;
}

// Only these two words end at a step whose "id1" and "id2" both name
// widgets; any other word with such attributes goes its own way.
WordResult Reorder(AnimationWidget& widget, bool inFront) {
    if (!widget.StepHasAttribute(L"id1") || !widget.StepHasAttribute(L"id2")) return WordResult::kNext;
    DynamicWidget* mover = widget.FindObject(L"id1");
    DynamicWidget* other = widget.FindObject(L"id2");
    if (!mover || !other) return WordResult::kNext;
    WidgetContainer* layer = widget.GetLayer();
    if (mover->GetParent() != layer) return WordResult::kNext;
    if (inFront)
        layer->PutInFront(mover, other);
    else
        layer->PutBehind(mover, other);
    return WordResult::kNext;
}

WordResult PutInFront(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) { return Reorder(widget, true); }

WordResult PutBehind(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) { return Reorder(widget, false); }

WordResult RemoveChildren(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    object->RemoveAllWidgets(true, true);
    return WordResult::kNext;
}

WordResult Show(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    object->SetVisible(true);
    return WordResult::kNext;
}

WordResult Hide(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    object->SetVisible(false);
    return WordResult::kNext;
}

WordResult Enable(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    object->SetDisabled(false);
    return WordResult::kNext;
}

WordResult Disable(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    object->SetDisabled(true);
    return WordResult::kNext;
}

WordResult MouseVisible(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetMouseVisible(widget.StepAttributeBoolOr(L"enable", true));
    return WordResult::kNext;
}

WordResult CheckPixels(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetPixelHitTest(widget.StepAttributeBoolOr(L"enable", false));
    return WordResult::kNext;
}

WordResult UseHandCursor(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetHandCursor(widget.StepAttributeBoolOr(L"enable", false));
    return WordResult::kNext;
}

uint32_t WithBit(uint32_t mask, uint32_t bit, bool on) { return on ? mask | bit : mask & ~bit; }

// "enable" sets or clears the bit in the add mask, "disable" in the remove
// mask; each only when the step has it.
void SwitchPassFlag(AnimationWidget& widget, DynamicWidget* object, uint32_t bit) {
    uint32_t add = object->GetAddFlags();
    uint32_t remove = object->GetRemoveFlags();
    if (widget.StepHasAttribute(L"enable")) add = WithBit(add, bit, widget.StepAttributeBool(L"enable"));
    if (widget.StepHasAttribute(L"disable")) remove = WithBit(remove, bit, widget.StepAttributeBool(L"disable"));
    object->SetFlagMasks(add, remove);
    object->MarkDirty();
}

template <uint32_t kBit>
WordResult PassFlagWord(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    SwitchPassFlag(widget, object, kBit);
    return WordResult::kNext;
}

}  // namespace

void RegisterTreeWords(ScriptWords& words) {
    words.Register(WordGroup::kObject, L"attach", Attach);
    words.Register(WordGroup::kObject, L"resize", Resize);
    words.Register(WordGroup::kObject, L"set-depth", SetDepth);
    words.Register(WordGroup::kObject, L"bring-to-front", BringToFront);
    words.Register(WordGroup::kObject, L"bring-to-back", BringToBack);
    words.Register(WordGroup::kNoObjectFound, L"put-in-front", PutInFront);
    words.Register(WordGroup::kNoObjectFound, L"put-behind", PutBehind);
    words.Register(WordGroup::kObject, L"remove-children", RemoveChildren);
    words.Register(WordGroup::kObject, L"show", Show);
    words.Register(WordGroup::kObject, L"hide", Hide);
    words.Register(WordGroup::kObject, L"enable", Enable);
    words.Register(WordGroup::kObject, L"disable", Disable);
    words.Register(WordGroup::kObject, L"mouse-visible", MouseVisible);
    words.Register(WordGroup::kObject, L"check-pixels", CheckPixels);
    words.Register(WordGroup::kObject, L"use-hand-cursor", UseHandCursor);
    words.Register(WordGroup::kObject, L"update", PassFlagWord<pass_flag::kUpdate>);
    words.Register(WordGroup::kObject, L"allow-mouse", PassFlagWord<pass_flag::kMouse>);
    words.Register(WordGroup::kObject, L"batch", PassFlagWord<pass_flag::kBatching>);
    words.Register(WordGroup::kObject, L"batch-by-depth", PassFlagWord<pass_flag::kDrawOrderByPriority>);
    words.Register(WordGroup::kObject, L"crossfade", PassFlagWord<pass_flag::kOffscreen>);
}
