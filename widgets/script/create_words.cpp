// The "add" word: one word with several forms, tried in a fixed order, the
// first whose attribute the step has winning. Each form creates a widget
// placed in the current layer's coordinates and registers it under the
// step's "id"; a step with none of the attributes matches no form.
#include <cstdint>

#include "widgets/script/animation_widget.h"
#include "widgets/script/movie_maker.h"
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
    made.Move(static_cast<float>(ClampToInt(x)), static_cast<float>(ClampToInt(y)));
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
    else if (widget.StepHasAttribute(L"video"))
        AddVideo(widget);
    return WordResult::kNext;
}

}  // namespace

void RegisterCreateWords(ScriptWords& words) { words.Register(WordGroup::kNoObject, L"add", Add); }
