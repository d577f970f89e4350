// The "add" word: one word with several forms, tried in a fixed order, the
// first whose attribute the step has winning. Each form creates a widget
// placed in the current layer's coordinates and registers it under the
// step's "id"; a step with none of the attributes matches no form.
#include <cstdint>

#include "foundation/values/field_handle.h"
#include "foundation/values/saturate.h"
#include "widgets/controls/numerical_text_widget.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/create_forms.h"
#include "widgets/script/movie_maker.h"
#include "widgets/script/script_text.h"
#include "widgets/script/word_families.h"
#include "widgets/script/word_support.h"

namespace {

// The factor form: "right"/"bottom" take the whole size, "center" half of
// it, in integer arithmetic; only when the step has either attribute.
void AlignByFactor(AnimationWidget& widget, DynamicWidget& made) {
    if (!widget.StepHasAttribute(L"align") && !widget.StepHasAttribute(L"valign")) return;
    const int64_t x = int64_t{widget.StepAttributeIntOr(L"x", 0)} -
                      int64_t{made.GetWidth()} * AlignFactor(widget.StepAttributeString(L"align"), L"right") / 2;
    const int64_t y = int64_t{widget.StepAttributeIntOr(L"y", 0)} -
                      int64_t{made.GetHeight()} * AlignFactor(widget.StepAttributeString(L"valign"), L"bottom") / 2;
    made.Move(static_cast<float>(ClampHalfInt(x)), static_cast<float>(ClampHalfInt(y)));
}

void AddImage(AnimationWidget& widget) {
    const int x = widget.StepAttributeIntOr(L"x", 0);
    const int y = widget.StepAttributeIntOr(L"y", 0);
    Image* image = widget.StepAttributeImage(L"image");
    const float opacity = widget.StepAttributeFloatOr(L"opacity", 1.0f);
    DynamicWidget* made;
    if (widget.StepHasAttribute(L"animation")) {
        auto* animation = new AnimationWidget(widget.StepAttributeString(L"animation"), x, y, false);
        animation->SetImage(image);
        animation->SetFloatProperty(L"opacity", opacity, false);
        made = animation;
    } else {
        made = new DynamicWidget(x, y, image, opacity);
    }
    made->SetPriority(widget.StepAttributeIntOr(L"depth", 0));
    made->SetFloatProperty(L"z", widget.StepAttributeFloatOr(L"z", 0.0f), false);
    widget.RegisterObject(widget.StepAttributeString(L"id"), made);
    AlignByFactor(widget, *made);
}

// The counter follows an integer through its field handle; a number that
// names no live field makes no counter, so no script value is ever taken
// for an address.
void AddCounter(AnimationWidget& widget) {
    const int handle = widget.StepAttributeInt(L"integer");
    if (!FieldHandle::IsLive(handle)) return;
    const int y = widget.StepAttributeIntOr(L"y", 0);
    auto* counter = new NumericalTextWidget(
        widget.StepAttributeIntOr(L"x", 0), ClampHalfInt(int64_t{y} - 4),
        SignedAlignCode(widget.StepAttributeString(L"align"), L"right"), widget.StepAttributeString(L"font"),
        ScriptDisplayText(widget.StepAttributeString(L"template"), widget.StepAttributeBoolOr(L"lookup", true)), handle,
        widget.StepAttributeIntOr(L"speed", 1), widget.StepAttributeIntOr(L"delay", 1));
    counter->SetPriority(widget.StepAttributeIntOr(L"depth", 0));
    if (widget.StepHasAttribute(L"up_sound")) counter->SetCountUpSound(widget.StepAttributeSound(L"up_sound"));
    if (widget.StepHasAttribute(L"down_sound")) counter->SetCountDownSound(widget.StepAttributeSound(L"down_sound"));
    widget.RegisterObject(widget.StepAttributeString(L"id"), counter);
    if (widget.StepHasAttribute(L"valign")) {
        const int factor = AlignFactor(widget.StepAttributeString(L"valign"), L"bottom");
        counter->SetPosition(L"x", L"y", 0.0f, -static_cast<float>(int64_t{counter->GetHeight()} * factor / 2), true);
    }
}

void AddVideo(AnimationWidget& widget) {
    DynamicWidget* made = Service<MovieMaker>::Get().MakeMovieWidget(
        widget.StepAttributeString(L"video"), widget.StepAttributeIntOr(L"x", 0), widget.StepAttributeIntOr(L"y", 0),
        widget.StepAttributeIntOr(L"width", 0), widget.StepAttributeIntOr(L"height", 0),
        widget.StepAttributeBoolOr(L"loop", false));
    if (!made) return;
    made->SetPriority(widget.StepAttributeIntOr(L"depth", 0));
    widget.RegisterObject(widget.StepAttributeString(L"id"), made);
    AlignByFactor(widget, *made);
}

WordResult Add(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    if (widget.StepHasAttribute(L"image"))
        AddImage(widget);
    else if (widget.StepHasAttribute(L"textends"))
        AddTextBoxWithEnds(widget);
    else if (widget.StepHasAttribute(L"text") || widget.StepHasAttribute(L"textbox"))
        widget.ReadLabelElement(widget.StepAttributeIntOr(L"aTextDY", 0),
                                widget.StepAttributeIntOr(L"aPaddingBottom", 0));
    else if (widget.StepHasAttribute(L"template"))
        AddCounter(widget);
    else if (widget.StepHasAttribute(L"video"))
        AddVideo(widget);
    return WordResult::kNext;
}

}  // namespace

void RegisterCreateWords(ScriptWords& words) { words.Register(WordGroup::kNoObject, L"add", Add); }
