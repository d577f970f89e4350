// The display's panels, bars and cards lie over the park: where one is
// drawn, the pointer is on it and not on the park below. Most of them are
// frames and labels that take no pointer of their own, so the display
// answers for them.

#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"

namespace {

// Whether `widget`, or something drawn inside it, lies at (x, y) of its parent.
bool Covers(const Widget& widget, float x, float y) {
    if (!widget.IsVisible()) return false;
    if (const auto* dynamic = dynamic_cast<const DynamicWidget*>(&widget); dynamic && dynamic->opacity <= 0.0f)
        return false;
    const FRect p = widget.MapRectFromParent({x, y, 1.0f, 1.0f});
    if (widget.ContainsPoint(static_cast<int>(p.x), static_cast<int>(p.y))) return true;
    for (const Widget* child : widget.GetChildren())
        if (Covers(*child, p.x, p.y)) return true;
    return false;
}

bool Within(const Widget* widget, const Widget* ancestor) {
    for (const WidgetContainer* node = widget; node != nullptr; node = node->GetParent())
        if (node == ancestor) return true;
    return false;
}

}  // namespace

bool UserInterface::CoveredAt(float x, float y) const {
    for (const ::Widget* child : GetChildren())
        if (child != grid_ && Covers(*child, x, y)) return true;
    return false;
}

::Widget* UserInterface::FindWidgetAt(float x, float y, uint32_t flags, float* localX, float* localY) {
    ::Widget* found = Menu::FindWidgetAt(x, y, flags, localX, localY);
    if (found == nullptr || !Within(found, grid_) || !CoveredAt(x, y)) return found;
    if (localX) *localX = x;
    if (localY) *localY = y;
    return this;
}
