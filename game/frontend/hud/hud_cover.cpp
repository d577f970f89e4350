// The display's panels, bars and cards lie over the park: where one is
// drawn, the pointer is on it and not on the park below. Most of them are
// frames and labels that take no pointer of their own, so the display
// answers for them. A piece whose mouse pass is taken away (the night's
// veil) is see-through: neither it nor anything it holds takes the pointer,
// so it keeps the pointer from nothing beneath it. While the week's review
// stands it alone takes the pointer: nothing opens over it, nothing is
// built behind it.

#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "widgets/tree/pass_flags.h"

namespace {

// Whether `widget`, or something drawn inside it, lies at (x, y) of its
// parent; `flags` are the pass flags its parent hands down.
bool Covers(const Widget& widget, float x, float y, uint32_t flags) {
    if (!widget.IsVisible()) return false;
    if (const auto* dynamic = dynamic_cast<const DynamicWidget*>(&widget); dynamic && dynamic->opacity <= 0.0f)
        return false;
    const uint32_t own = ApplyFlagMasks(flags, widget.GetAddFlags(), widget.GetRemoveFlags());
    const FRect p = widget.MapRectFromParent({x, y, 1.0f, 1.0f});
    if ((own & pass_flag::kMouse) && widget.ContainsPoint(static_cast<int>(p.x), static_cast<int>(p.y))) return true;
    for (const Widget* child : widget.GetChildren())
        if (Covers(*child, p.x, p.y, own)) return true;
    return false;
}

bool Within(const Widget* widget, const Widget* ancestor) {
    for (const WidgetContainer* node = widget; node != nullptr; node = node->GetParent())
        if (node == ancestor) return true;
    return false;
}

}  // namespace

bool UserInterface::CoveredAt(float x, float y) const {
    // A building's card stands in the display but speaks for the park: the
    // building under its rim keeps the pointer, or the card would go and
    // come back as the pointer rests there.
    const ::Widget* card = grid_->GetPopupWidget();
    for (const ::Widget* child : GetChildren())
        if (child != grid_ && child != card && Covers(*child, x, y, pass_flag::kMouse)) return true;
    return false;
}

::Widget* UserInterface::FindWidgetAt(float x, float y, uint32_t flags, float* localX, float* localY) {
    ::Widget* found = Menu::FindWidgetAt(x, y, flags, localX, localY);
    if (found == nullptr) return found;
    AnimationWidget* review = StandingReview();
    const bool held = review ? !Within(found, review) : Within(found, grid_) && CoveredAt(x, y);
    if (!held) return found;
    if (localX) *localX = x;
    if (localY) *localY = y;
    return this;
}
