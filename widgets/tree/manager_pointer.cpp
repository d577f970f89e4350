// Pointer handling of the WidgetManager: which widget the pointer is over,
// which one holds it, and the press, release, drag and wheel rules.

#include "widgets/tree/widget.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace {

struct ButtonOfCode {
    uint32_t bit;
    int last;
};

ButtonOfCode ButtonFor(int clickCode) {
    if (clickCode > 0) return {mouse_button::kLeft, 1};
    if (clickCode < 0) return {mouse_button::kRight, -1};
    return {mouse_button::kMiddle, 0};
}

int ToInt(float v) { return static_cast<int>(v); }

// Whether the hit walk could stop in `widget`'s subtree at (x, y), in its
// parent's coordinates. The walk's own tests in the same order, without the
// pass flags and the clips, which only ever turn a hit down.
bool MayHitInSubtree(Widget& widget, float x, float y) {
    const FRect p = widget.MapRectFromParent({x, y, 1.0f, 1.0f});
    for (Widget* child : widget.GetChildren())
        if (child->GetManager() && child->IsVisible() && MayHitInSubtree(*child, p.x, p.y)) return true;
    return widget.IsMouseVisible() && widget.HitTest(p.x, p.y);
}

}  // namespace

PointerRecord* WidgetManager::GetPointer(int id) {
    auto& slot = pointers_[id];
    if (!slot) {
        slot = std::make_unique<PointerRecord>();
        slot->manager = this;
        slot->id = id;
    }
    return slot.get();
}

PointerRecord* WidgetManager::FindPointer(int id) const {
    auto it = pointers_.find(id);
    return it == pointers_.end() ? nullptr : it->second.get();
}

ScreenPoint WidgetManager::GetPointerPosition(int id) const {
    const PointerRecord* record = FindPointer(id);
    return record ? ScreenPoint{record->x, record->y} : ScreenPoint{};
}

PointerRecord* WidgetManager::BoundRecord(int source) const {
    auto it = inputSources_.find(source);
    return it == inputSources_.end() ? nullptr : FindPointer(it->second);
}

Widget* WidgetManager::FindWidgetAtPoint(float x, float y, float* localX, float* localY) {
    Widget* hit = FindWidgetAt(x, y, GetCurrentFlags(), localX, localY);
    // A disabled widget swallows the hit: nothing beneath it is found.
    return hit && hit->disabled_ ? nullptr : hit;
}

PointerRecord* WidgetManager::ResolvePointer(int x, int y, int source, Widget** widget, float* localX, float* localY) {
    PointerRecord* bound = BoundRecord(source);
    Widget* hit = FindWidgetAtPoint(static_cast<float>(x), static_cast<float>(y), localX, localY);
    if (widget) *widget = hit;
    if (!hit) return bound;
    inputSources_[source] = 0;
    PointerRecord* record = GetPointer(0);
    record->bound = true;
    return record;
}

int WidgetManager::CursorKind() const { return Service<WidgetHost>::Get().GetCursorKind(); }

void WidgetManager::SendEnter(Widget* widget) {
    widget->isOver_ = true;
    if (widget->handCursor_) widget->ShowHandCursor(true);
    widget->MouseEnter();
}

void WidgetManager::SendLeave(Widget* widget) {
    widget->isOver_ = false;
    if (widget->handCursor_ && CursorKind() != 11) widget->ShowHandCursor(false);
    widget->MouseLeave();
}

void WidgetManager::ClearOver(PointerRecord* record) {
    if (Widget* old = record->over) {
        record->over = nullptr;
        SendLeave(old);
    }
}

void WidgetManager::UpdatePointerOver(PointerRecord* record, Widget* hit, int x, int y, float localX, float localY) {
    const bool moved = x != record->x || y != record->y;
    record->x = x;
    record->y = y;
    if (hit == record->over) {
        if (moved && hit) hit->MouseMove(ToInt(localX), ToInt(localY));
        return;
    }
    ClearOver(record);
    // The leave callback may have taken the new widget out of the tree.
    if (!hit || hit->manager_ != this) return;
    record->over = hit;
    SendEnter(hit);
    if (record->over == hit) hit->MouseMove(ToInt(localX), ToInt(localY));
}

void WidgetManager::UpdateOver(PointerRecord* record, int x, int y) {
    const Entry entry(*this);
    float lx = 0.0f, ly = 0.0f;
    Widget* hit = FindWidgetAtPoint(static_cast<float>(x), static_cast<float>(y), &lx, &ly);
    if (hit || record->over) UpdatePointerOver(record, hit, x, y, lx, ly);
}

void WidgetManager::PointerMoved(PointerRecord* record, int x, int y, Widget* hit, float localX, float localY) {
    const Entry entry(*this);
    if (record->heldButtons) {
        DragMove(record, x, y, hit, localX, localY);
        return;
    }
    record->insideWindow = true;
    UpdatePointerOver(record, hit, x, y, localX, localY);
}

void WidgetManager::DragMove(PointerRecord* record, int x, int y, Widget* hit, float localX, float localY) {
    record->insideWindow = true;
    record->x = x;
    record->y = y;
    if (record->over && record->over != record->capture) ClearOver(record);
    Widget* capture = record->capture;
    if (!capture) return;
    if (capture != hit) {
        const LocalPoint local = ScreenToLocal(capture, static_cast<float>(x), static_cast<float>(y));
        localX = local.x;
        localY = local.y;
    }
    capture->MouseDrag(ToInt(localX), ToInt(localY));
    if (record->capture != capture) return;  // the drag callback let go of it
    Widget* under = hit;
    if (hit != capture) under = FindWidgetAtPoint(static_cast<float>(x), static_cast<float>(y), nullptr, nullptr);
    if (under == capture) {
        if (!record->over) {
            record->over = capture;
            SendEnter(capture);
        }
    } else {
        ClearOver(record);
    }
}

bool WidgetManager::MouseDown(PointerRecord* record, int x, int y, int clickCode) {
    const Entry entry(*this);
    if (leftButtonOnly_ && clickCode < 1) return true;
    const ButtonOfCode button = ButtonFor(clickCode);
    record->rawButtons |= button.bit;
    // While another button is held the drag rule owns enter and leave: only
    // the capture may be entered.
    if (!record->heldButtons) UpdateOver(record, x, y);
    float lx = 0.0f, ly = 0.0f;
    Widget* target = FindWidgetAtPoint(static_cast<float>(x), static_cast<float>(y), &lx, &ly);
    if (record->capture) {
        // The press belongs to the widget already holding the pointer, in its own coordinates.
        target = record->capture;
        const LocalPoint local = ScreenToLocal(target, static_cast<float>(x), static_cast<float>(y));
        lx = local.x;
        ly = local.y;
    }
    record->heldButtons |= button.bit;
    record->lastButton = button.last;
    record->capture = target;
    if (!target) return true;
    if (target->WantsFocus()) {
        SetFocus(target);
        if (target->manager_ != this) return true;  // a focus callback removed it
    }
    target->isDown_ = true;
    target->MouseDown(ToInt(lx), ToInt(ly), clickCode);
    return true;
}

bool WidgetManager::MouseUp(PointerRecord* record, int x, int y, int clickCode) {
    const Entry entry(*this);
    if (leftButtonOnly_ && clickCode < 1) return true;
    const ButtonOfCode button = ButtonFor(clickCode);
    record->rawButtons &= ~button.bit;
    Widget* capture = record->capture;
    if (capture && (record->heldButtons & button.bit)) {
        record->heldButtons &= ~button.bit;
        if (!record->heldButtons) record->capture = nullptr;
        capture->isDown_ = false;
        const LocalPoint local = ScreenToLocal(capture, static_cast<float>(x), static_cast<float>(y));
        capture->MouseUp(ToInt(local.x), ToInt(local.y), clickCode);
    } else {
        record->heldButtons &= ~button.bit;
    }
    if (!record->heldButtons) UpdateOver(record, x, y);
    return true;
}

bool WidgetManager::MouseWheel(PointerRecord* record, int notches) {
    const Entry entry(*this);
    if (record && record->over) record->over->MouseWheel(notches);
    return true;
}

bool WidgetManager::MouseLeftWindow() {
    for (auto& [id, record] : pointers_) record->insideWindow = false;
    return true;
}

void WidgetManager::RecheckPointer(PointerRecord* record) {
    if (record->heldButtons) return;
    if (!record->capture) {
        if (record->insideWindow) UpdateOver(record, record->x, record->y);
        return;
    }
    if (record->over) {
        Widget* hit = FindWidgetAtPoint(static_cast<float>(record->x), static_cast<float>(record->y), nullptr, nullptr);
        if (hit != record->capture) ClearOver(record);
    }
}

void WidgetManager::RecheckAllPointers() {
    const Entry entry(*this);
    for (auto& [id, record] : pointers_) RecheckPointer(record.get());
}

WidgetManager::PointerSpots WidgetManager::PointerSpotsAround(Widget& widget) {
    PointerSpots spots;
    // The widget's ancestors below this manager, outermost last; a widget
    // deeper than any tree holds is met rather than walked up to.
    constexpr size_t kDeepest = 32;
    WidgetContainer* chain[kDeepest];
    size_t depth = 0;
    for (WidgetContainer* c = widget.parent_; c != this; c = c->parent_) {
        if (!c || depth == kDeepest) {
            spots.met = true;
            return spots;
        }
        chain[depth++] = c;
    }
    for (auto& [id, record] : pointers_) {
        // What RecheckPointer leaves alone.
        if (record->heldButtons || (record->capture ? !record->over : !record->insideWindow)) continue;
        if ((record->over && record->over->IsInSubtreeOf(&widget)) ||
            (record->capture && record->capture->IsInSubtreeOf(&widget)) || spots.count == PointerSpots::kMost) {
            spots.met = true;
            return spots;
        }
        // The walk passes a hidden widget by, and all inside it.
        if (!widget.visible_) continue;
        // Mapped down as the hit walk maps it, one parent at a time.
        FRect p{static_cast<float>(record->x), static_cast<float>(record->y), 1.0f, 1.0f};
        for (size_t i = depth; i-- > 0;) p = chain[i]->MapRectFromParent({p.x, p.y, 1.0f, 1.0f});
        spots.at[spots.count++] = p;
    }
    return spots;
}

bool WidgetManager::MayHitAt(Widget& widget, const PointerSpots& spots) {
    for (size_t i = 0; i < spots.count; ++i)
        if (MayHitInSubtree(widget, spots.at[i].x, spots.at[i].y)) return true;
    return false;
}

void WidgetManager::ReleasePointerButtons(PointerRecord* record, Widget* widget, uint32_t buttons) {
    static constexpr ButtonOfCode kOrder[] = {
        {mouse_button::kLeft, 1}, {mouse_button::kRight, -1}, {mouse_button::kMiddle, 0}};
    for (const ButtonOfCode& b : kOrder) {
        if (!(buttons & b.bit)) continue;
        widget->isDown_ = false;
        // b.last doubles as the click code of a single click of that button.
        const LocalPoint local = ScreenToLocal(widget, static_cast<float>(record->x), static_cast<float>(record->y));
        widget->MouseUp(ToInt(local.x), ToInt(local.y), b.last);
    }
}

void WidgetManager::ReleasePointer(PointerRecord* record) {
    Widget* capture = record->capture;
    const uint32_t held = record->heldButtons;
    if (!capture || !held) return;
    record->capture = nullptr;
    record->heldButtons = 0;
    ReleasePointerButtons(record, capture, held);
}

void WidgetManager::ReleaseAllPointers() {
    const Entry entry(*this);
    for (auto& [id, record] : pointers_) ReleasePointer(record.get());
}

// ---- Window-level entry points ---------------------------------------------------

bool WidgetManager::WindowMouseMove(int windowX, int windowY, int source) {
    const Entry entry(*this);
    MapWindowToScreen(windowX, windowY);
    Widget* hit = nullptr;
    float lx = 0.0f, ly = 0.0f;
    if (PointerRecord* record = ResolvePointer(windowX, windowY, source, &hit, &lx, &ly))
        PointerMoved(record, windowX, windowY, hit, lx, ly);
    return true;
}

bool WidgetManager::WindowMouseDown(int windowX, int windowY, int clickCode, int source) {
    const Entry entry(*this);
    MapWindowToScreen(windowX, windowY);
    NotifyClickPress();
    if (PointerRecord* record = ResolvePointer(windowX, windowY, source, nullptr, nullptr, nullptr))
        MouseDown(record, windowX, windowY, clickCode);
    NotifyClickRelease();
    return true;
}

bool WidgetManager::WindowMouseUp(int windowX, int windowY, int clickCode, int source) {
    const Entry entry(*this);
    MapWindowToScreen(windowX, windowY);
    if (PointerRecord* record = ResolvePointer(windowX, windowY, source, nullptr, nullptr, nullptr))
        MouseUp(record, windowX, windowY, clickCode);
    return true;
}

bool WidgetManager::WindowMouseWheel(int wheelDelta, int source) {
    // Whole notches of 120, truncated towards zero.
    return MouseWheel(BoundRecord(source), wheelDelta / 120);
}
