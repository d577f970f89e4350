// "merge": bakes a widget and its subtree into another widget's image, which
// may first grow so that the whole of it fits.
#include <memory>

#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"
#include "widgets/script/word_support.h"
#include "widgets/tree/widget_manager.h"

namespace {

// Where the source's origin lies in the target's coordinates.
LocalPoint Offset(const WidgetContainer& source, const WidgetContainer& target) {
    const LocalPoint from = ScreenOrigin(source), onto = ScreenOrigin(target);
    return {from.x - onto.x, from.y - onto.y};
}

// Grows the target's image to hold both rectangles; the target and its
// children stay where they were on screen.
void Expand(DynamicWidget& target, const DynamicWidget& source, const LocalPoint& offset) {
    const Rect r = target.GetLocalRect();
    Rect s = source.GetLocalRect();
    s.x = ClampHalfInt(int64_t{s.x} + SaturateCast(offset.x));
    s.y = ClampHalfInt(int64_t{s.y} + SaturateCast(offset.y));
    const Rect u = r.Union(s);
    if (u == r) return;
    auto grown = std::make_unique<ImageSurface>();
    if (!grown->Create(u.w, u.h)) return;
    if (Image* old = target.GetImage(); old && old->GetSurface())
        grown->SetFlags(old->GetSurface()->GetFlags() &
                        ~static_cast<uint32_t>(kImageRenderTarget | kImagePacked | kImagePalette));
    {
        Graphics g(grown.get());
        g.Translate(static_cast<float>(r.x - u.x), static_cast<float>(r.y - u.y));
        target.Draw(&g);
    }
    target.AdoptImage(std::move(grown));
    const float dx = static_cast<float>(u.x - r.x), dy = static_cast<float>(u.y - r.y);
    target.SetPosition(L"x", L"y", dx, dy, true);
    for (Widget* child : target.GetChildren()) child->Move(child->GetX() - dx, child->GetY() - dy);
}

WordResult Merge(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    DynamicWidget* target = widget.FindObject(L"with");
    // Into itself or into its own subtree the widget would be drawn into the
    // image it is drawn from, and then removed along with it.
    if (!target || IsWithin(target, object)) return WordResult::kNext;
    if (widget.StepAttributeBoolOr(L"expand", false)) Expand(*target, *object, Offset(*object, *target));
    target->MarkDirty();
    if (ImageSurface* image = target->GetWritableImage()) {
        Graphics g(image);
        // Measured again: growing may have moved the target.
        const LocalPoint offset = Offset(*object, *target);
        g.Translate(offset.x, offset.y);
        const WidgetManager* manager = object->GetManager();
        PassFlags flags;
        flags.normal = manager ? manager->GetCurrentFlags() : WidgetManager::kDefaultFlags;
        object->DrawAll(flags, &g);
    }
    if (widget.StepAttributeBoolOr(L"remove", true)) object->RemoveSelf();
    return WordResult::kNext;
}

}  // namespace

void RegisterMergeWords(ScriptWords& words) { words.Register(WordGroup::kObject, L"merge", Merge); }
