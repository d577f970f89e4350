// Words that move the layer new objects are added to.
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"

namespace {

WordResult SetLayer(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    widget.SetLayer(object);
    return WordResult::kNext;
}

WordResult PushLayer(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    widget.PushLayer();
    return WordResult::kNext;
}

WordResult PopLayer(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    widget.PopLayer();
    return WordResult::kNext;
}

}  // namespace

void RegisterLayerWords(ScriptWords& words) {
    words.Register(WordGroup::kObject, L"set-layer", SetLayer);
    words.Register(WordGroup::kNoObjectFound, L"push-layer", PushLayer);
    words.Register(WordGroup::kNoObjectFound, L"pop-layer", PopLayer);
}
